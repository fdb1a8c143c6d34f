// Tralmix in the browser: procesar(archivo, opciones) runs the engine on a File (or a Blob with a
// name) in a Web Worker, so the file never leaves the machine and the page stays responsive.
// Documented in the README.

const urlTrabajador = new URL('./trabajador.js', import.meta.url);
let reserva = null;

// Starts a worker ahead, so that the next run finds its engine loaded.
export function preparar() {
  reserva ??= new Worker(urlTrabajador);
}

function tomarTrabajador() {
  const trabajador = reserva ?? new Worker(urlTrabajador);
  reserva = null;
  return trabajador;
}

// "YYYY-MM-DD" of a real calendar day, or today's local date.
function leerFecha(fecha) {
  if (fecha === undefined) {
    const hoy = new Date();
    return { anio: hoy.getFullYear(), mes: hoy.getMonth() + 1, dia: hoy.getDate() };
  }
  const partes = /^(\d{4})-(\d{2})-(\d{2})$/.exec(String(fecha));
  if (partes) {
    const [anio, mes, dia] = partes.slice(1).map(Number);
    const d = new Date(Date.UTC(anio, mes - 1, dia));
    if (anio >= 1 && d.getUTCMonth() === mes - 1 && d.getUTCDate() === dia) {
      return { anio, mes, dia };
    }
  }
  throw new RangeError(`fecha no válida: ${fecha} (se espera AAAA-MM-DD)`);
}

// The list's layout as text for the engine, which judges it as it judges the command's options.
function leerDisposicion({ tamanoGrupo, separador }) {
  if (tamanoGrupo !== undefined && typeof tamanoGrupo !== 'number') {
    throw new TypeError('tamanoGrupo: se espera un número');
  }
  if (separador !== undefined && typeof separador !== 'string') {
    throw new TypeError('separador: se espera un texto');
  }
  return { porGrupo: tamanoGrupo === undefined ? null : String(tamanoGrupo),
           separador: separador ?? null };
}

// Resolves to { estado, nombreLista, lista, mensajes }: estado is the command's exit status (0
// list made, 1 input refused, 3 file failure, 130 stopped through opciones.senal), nombreLista the
// engine's name for the day's list, lista the list's bytes or null, mensajes what the run showed
// ({ titulo, texto, estilo }, in order). alAvanzar hears of the progress with the texts the
// windows show ({ estado, porcentaje }). A group size or separator the command would refuse
// rejects it with a RangeError.
export async function procesar(archivo, opciones = {}) {
  if (!(archivo instanceof Blob) || typeof archivo.name !== 'string') {
    throw new TypeError('archivo: se espera un File, o un Blob con nombre');
  }
  const { anio, mes, dia } = leerFecha(opciones.fecha);
  const { porGrupo, separador } = leerDisposicion(opciones);
  const { alAvanzar, senal } = opciones;
  const trabajador = tomarTrabajador();
  let alDetener;
  try {
    return await new Promise((resolver, rechazar) => {
      // A stop ends the run at once, with the list's name the worker tells first.
      let nombreLista = null;
      let detener = senal?.aborted ?? false;
      const detenido = () => resolver({ estado: 130, nombreLista, lista: null, mensajes: [] });
      alDetener = () => {
        detener = true;
        if (nombreLista !== null) {
          detenido();
        }
      };
      senal?.addEventListener('abort', alDetener, { once: true });
      trabajador.onmessage = ({ data }) => {
        if (data.tipo === 'nombre') {
          nombreLista = data.nombreLista;
          if (detener) {
            detenido();
          }
        } else if (data.tipo === 'avance') {
          alAvanzar?.(data.fase, data.hecho, data.total, data.textos);
        } else if (data.tipo === 'fin') {
          resolver({ estado: data.estado, nombreLista, lista: data.lista, mensajes: data.mensajes });
        } else {
          rechazar(data.tipo === 'opcion' ? new RangeError(data.texto) : new Error(data.texto));
        }
      };
      trabajador.onerror = (evento) => {
        evento.preventDefault();
        rechazar(new Error(evento.message || 'no se pudo cargar el motor'));
      };
      trabajador.postMessage({ archivo, nombre: archivo.name, anio, mes, dia, porGrupo, separador,
                               soloNombre: detener });
    });
  } finally {
    senal?.removeEventListener('abort', alDetener);
    // One worker for each run: a stopped run ends with its worker, and a finished one would keep
    // all the memory it grew to.
    trabajador.terminate();
    preparar();
  }
}
