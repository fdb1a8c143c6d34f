// Tralmix in the browser: procesar(archivos, opciones) runs the engine on a File (or a Blob with a
// name), or on several, in a Web Worker, so the files never leave the machine and the page stays
// responsive. Documented in the README.

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

function esArchivo(archivo) {
  return archivo instanceof Blob && typeof archivo.name === 'string';
}

// A File, or a list of them, as a list.
function leerArchivos(archivos, nombre) {
  const lista = Array.isArray(archivos) ? archivos : [archivos];
  if (!lista.every(esArchivo)) {
    throw new TypeError(`${nombre}: se espera un File (o un Blob con nombre), o una lista de ellos`);
  }
  return lista;
}

// The engine's bits for the clean-up mode and a report of a run on one file.
function leerBanderas({ depurar, resumen }) {
  for (const [nombre, valor] of [['depurar', depurar], ['resumen', resumen]]) {
    if (valor !== undefined && typeof valor !== 'boolean') {
      throw new TypeError(`${nombre}: se espera true o false`);
    }
  }
  return (depurar ? 1 : 0) | (resumen ? 2 : 0);
}

// Resolves to { estado, nombreLista, lista, mensajes, informe, lineasDelResumen }: estado is the
// command's exit status (0 list made, 1 input refused, 3 file failure, 130 stopped through
// opciones.senal), nombreLista the engine's name for the day's list, lista the list's bytes or
// null, mensajes what the run showed ({ titulo, texto, estilo }, in order), informe the object
// the command's --informe writes, or null when the run made no report, and lineasDelResumen the
// lines every front end shows of it ([] without a report). alAvanzar hears of the progress with
// the texts the windows show ({ estado, porcentaje }). A group size or separator the command
// would refuse rejects it with a RangeError; a value of the wrong kind, with a TypeError.
export async function procesar(archivos, opciones = {}) {
  const entradas = leerArchivos(archivos, 'archivos');
  if (entradas.length === 0) {
    throw new TypeError('archivos: la lista está vacía');
  }
  const exclusiones = opciones.excluir === undefined ? [] : leerArchivos(opciones.excluir, 'excluir');
  const banderas = leerBanderas(opciones);
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
      const detenido = () => resolver({ estado: 130, nombreLista, lista: null, mensajes: [],
                                        informe: null, lineasDelResumen: [] });
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
          const { estado, lista, mensajes, informe, lineasDelResumen } = data;
          resolver({ estado, nombreLista, lista, mensajes, informe, lineasDelResumen });
        } else {
          rechazar(data.tipo === 'opcion' ? new RangeError(data.texto) : new Error(data.texto));
        }
      };
      trabajador.onerror = (evento) => {
        evento.preventDefault();
        rechazar(new Error(evento.message || 'no se pudo cargar el motor'));
      };
      trabajador.postMessage({ entradas, exclusiones, banderas, anio, mes, dia, porGrupo,
                               separador, soloNombre: detener });
    });
  } finally {
    senal?.removeEventListener('abort', alDetener);
    // One worker for each run: a stopped run ends with its worker, and a finished one would keep
    // all the memory it grew to.
    trabajador.terminate();
    preparar();
  }
}
