// The page: the files chosen or dropped go through procesar with the exclusion lists; progress,
// the run's messages, the summary and the list's groups are shown as the window shows them.
import { preparar, procesar } from './tralmix.js';

const $ = (id) => document.getElementById(id);
const entrada = $('archivo');
const ruta = $('ruta');
const zonaAvance = $('zona-avance');
const avance = $('avance');
const fase = $('fase');
const porcentaje = $('porcentaje');
const cancelar = $('cancelar');
const mensajes = $('mensajes');
const resultado = $('resultado');
const descargar = $('descargar');
const grupos = $('grupos');
const mas = $('mas');
const soltar = $('soltar');
const textoSoltar = $('texto-soltar');
const zonaInforme = $('informe');
const zonaExclusiones = $('exclusiones');
const entradaExclusiones = $('excluir');
const listaExclusiones = $('lista-exclusiones');
const cuentaExclusiones = $('cuenta-exclusiones');
const recordar = $('recordar');
const notaRecordar = $('nota-recordar');

// What the progress says before the engine's first report: the page's own first words.
const kAntesDelMotor = fase.textContent;
const kTitulo = 'Messenger Add-in';
const kNoValido = 'El archivo especificado no es valido...';
const kGruposPorVez = 20;
// The icon of each message-box style, with what it says to a screen reader.
const kIconos = { 16: ['⛔', 'Error'], 48: ['⚠', 'Atención'], 64: ['ℹ', 'Información'] };

let control = null;  // the run under way, if any
let urlLista = null;
let exclusiones = [];  // the exclusion lists' files, kept while the page is open

function mostrarMensaje({ titulo, texto, estilo }) {
  const caja = document.createElement('div');
  caja.className = `mensaje estilo-${estilo}`;
  caja.setAttribute('role', 'alert');
  const cabeza = document.createElement('p');
  cabeza.className = 'mensaje-titulo';
  const [icono, nombre] = kIconos[estilo] ?? ['', ''];
  if (icono) {
    const i = document.createElement('span');
    i.className = 'icono';
    i.setAttribute('role', 'img');
    i.setAttribute('aria-label', nombre);
    i.textContent = icono;
    cabeza.append(i, ' ');
  }
  cabeza.append(titulo.trim());
  const cuerpo = document.createElement('p');
  cuerpo.className = 'mensaje-texto';
  cuerpo.textContent = texto;
  const aceptar = document.createElement('button');
  aceptar.type = 'button';
  aceptar.className = 'boton-texto';
  aceptar.textContent = 'Aceptar';
  aceptar.addEventListener('click', () => {
    caja.remove();
    (mensajes.querySelector('button') ?? (resultado.hidden ? entrada : descargar)).focus();
  });
  caja.append(cabeza, cuerpo, aceptar);
  mensajes.append(caja);
  return aceptar;
}

function limpiar() {
  mensajes.replaceChildren();
  zonaInforme.replaceChildren();
  zonaInforme.hidden = true;
  resultado.hidden = true;
  grupos.replaceChildren();
  if (urlLista) {
    URL.revokeObjectURL(urlLista);
    urlLista = null;
  }
}

// The list's groups, laid out by the engine: the first address, an empty line, the others joined
// by the separator; groups apart by two empty lines. Read a few at a time: a list can be large.
function lectorDeGrupos(texto, separador) {
  let desde = 0;
  return () => {
    if (desde >= texto.length) {
      return null;
    }
    let fin = texto.indexOf('\r\n\r\n\r\n', desde);
    fin = fin < 0 ? texto.length : fin;
    const grupo = texto.slice(desde, fin).replace(/(\r\n)+$/, '');
    desde = fin + 6;
    const corte = grupo.indexOf('\r\n\r\n');
    return corte < 0 ? grupo : grupo.slice(0, corte) + separador + grupo.slice(corte + 4);
  };
}

function mostrarGrupos(siguiente, inicio) {
  let n = inicio;
  for (let k = 0; k < kGruposPorVez; ++k) {
    const grupo = siguiente();
    if (grupo === null) {
      mas.hidden = true;
      return;
    }
    ++n;
    const item = document.createElement('li');
    const texto = document.createElement('p');
    texto.className = 'grupo';
    texto.id = `grupo-${n}`;
    texto.textContent = grupo;
    const copiar = document.createElement('button');
    copiar.type = 'button';
    copiar.className = 'boton-texto copiar';
    copiar.textContent = 'Copiar';
    copiar.setAttribute('aria-describedby', texto.id);
    copiar.addEventListener('click', async () => {
      try {
        await navigator.clipboard.writeText(grupo);
        copiar.textContent = 'Copiado';
      } catch {
        // Without clipboard permission: select the group, for Ctrl+C.
        getSelection().selectAllChildren(texto);
        copiar.textContent = 'Seleccionado: Ctrl+C';
      }
      setTimeout(() => { copiar.textContent = 'Copiar'; }, 2000);
    });
    item.append(texto, copiar);
    grupos.append(item);
  }
  mas.hidden = false;
  mas.onclick = () => {
    mostrarGrupos(siguiente, n);
    grupos.querySelector(`li:nth-child(${n + 1}) button`)?.focus();
  };
}

// The lines every front end shows of a report: the summary, then what to look at.
function mostrarInforme(lineas) {
  zonaInforme.replaceChildren(...lineas.map((linea) => {
    const p = document.createElement('p');
    p.textContent = linea;
    return p;
  }));
  zonaInforme.hidden = lineas.length === 0;
}

function mostrarLista(nombreLista, lista, separador, conInforme) {
  urlLista = URL.createObjectURL(new Blob([lista], { type: 'text/plain;charset=utf-8' }));
  descargar.href = urlLista;
  descargar.download = nombreLista;
  descargar.textContent = `Descargar ${nombreLista}`;
  const texto = new TextDecoder().decode(lista);
  let direcciones = 0;
  for (const linea of texto.split('\r\n')) {
    direcciones += linea.trim() !== '' ? linea.split(separador).length : 0;
  }
  // With a report its summary gives the counts; the size is the page's own.
  const tamano = `${(lista.length / 1024).toLocaleString('es', { maximumFractionDigits: 1 })} KB`;
  $('resumen').textContent = conInforme ? `(${tamano})`
      : `(${direcciones.toLocaleString('es')} direcciones, ${tamano})`;
  mostrarGrupos(lectorDeGrupos(texto, separador), 0);
  resultado.hidden = false;
}

async function ejecutar(archivos) {
  // The lists kept on an earlier visit take part in the very first run too.
  await recuperadas;
  if (control) {
    return;
  }
  limpiar();
  ruta.value = archivos.map((a) => a.name).join(', ');
  const tamanoGrupo = Number($('tamanoGrupo').value);
  const separador = $('separador').value;
  control = new AbortController();
  zonaAvance.hidden = false;
  avance.removeAttribute('value');
  fase.textContent = kAntesDelMotor;
  porcentaje.textContent = '';
  document.body.classList.add('ocupado');
  cancelar.focus();
  let foco = null;
  try {
    const r = await procesar(archivos, {
      tamanoGrupo,
      separador,
      excluir: exclusiones,
      depurar: $('depurar').checked,
      senal: control.signal,
      alAvanzar(nombreFase, hecho, total, textos) {
        fase.textContent = textos.estado;
        porcentaje.textContent = textos.porcentaje;
        if (total > 0) {
          avance.value = Math.min(hecho / total, 1) * 1000;
        }
      },
    });
    for (const m of r.mensajes) {
      foco ??= mostrarMensaje(m);
    }
    mostrarInforme(r.lineasDelResumen);
    if (r.estado === 0) {
      mostrarLista(r.nombreLista, r.lista, separador, r.informe !== null);
      foco ??= descargar;
    } else if (r.estado === 130) {
      foco = mostrarMensaje({ titulo: kTitulo, texto: 'Proceso cancelado: no se creó la lista.', estilo: 64 });
    }
  } catch (error) {
    foco = mostrarMensaje({ titulo: kTitulo, texto: error.message, estilo: 16 });
  } finally {
    control = null;
    zonaAvance.hidden = true;
    document.body.classList.remove('ocupado');
    entrada.value = '';
  }
  foco?.focus();
}

entrada.addEventListener('change', () => {
  if (entrada.files.length > 0) {
    ejecutar([...entrada.files]);
  }
});

// ---- The exclusion lists ----
// Kept in memory while the page is open; with «Recordar en este navegador», also in the browser's
// own IndexedDB (the files' copies as they were chosen), offered again on the next visit.
const kBase = 'tralmix';
const kAlmacen = 'exclusiones';

function abrirBase() {
  return new Promise((resolver, rechazar) => {
    const pedido = indexedDB.open(kBase, 1);
    pedido.onupgradeneeded = () => pedido.result.createObjectStore(kAlmacen);
    pedido.onsuccess = () => resolver(pedido.result);
    pedido.onerror = () => rechazar(pedido.error);
  });
}

// One request on the store, resolved when its transaction is done (written, or read).
async function enAlmacen(modo, hacer) {
  const base = await abrirBase();
  try {
    return await new Promise((resolver, rechazar) => {
      const transaccion = base.transaction(kAlmacen, modo);
      const pedido = hacer(transaccion.objectStore(kAlmacen));
      transaccion.oncomplete = () => resolver(pedido.result);
      transaccion.onerror = () => rechazar(transaccion.error);
      transaccion.onabort = () => rechazar(transaccion.error);
    });
  } finally {
    base.close();
  }
}

const guardadas = () => enAlmacen('readonly', (a) => a.get('archivos'));
const guardar = (archivos) => enAlmacen('readwrite', (a) => a.put(archivos, 'archivos'));
const olvidar = () => enAlmacen('readwrite', (a) => a.delete('archivos'));

// The browser's copy follows the list while the box is ticked.
async function guardarSiSeRecuerda() {
  if (!recordar.checked) {
    return;
  }
  try {
    await (exclusiones.length > 0 ? guardar(exclusiones) : olvidar());
    notaRecordar.textContent = exclusiones.length > 0
        ? 'Guardados en este navegador: se ofrecerán en la próxima visita. Desmarque la casilla ' +
          'para olvidarlos.'
        : 'Los archivos que añada se guardarán en este navegador.';
  } catch (error) {
    recordar.checked = false;
    notaRecordar.textContent = `Este navegador no pudo guardarlos (${error?.message ?? error}): ` +
        'se usarán mientras la página esté abierta.';
  }
}

function mostrarExclusiones() {
  cuentaExclusiones.textContent = exclusiones.length === 0 ? ''
      : `(${exclusiones.length} ${exclusiones.length === 1 ? 'archivo' : 'archivos'})`;
  listaExclusiones.replaceChildren(...exclusiones.map((archivo, i) => {
    const item = document.createElement('li');
    const nombre = document.createElement('span');
    nombre.textContent = archivo.name;
    nombre.id = `exclusion-${i}`;
    const quitar = document.createElement('button');
    quitar.type = 'button';
    quitar.className = 'boton-texto';
    quitar.textContent = 'Quitar';
    quitar.setAttribute('aria-describedby', nombre.id);
    quitar.addEventListener('click', async () => {
      exclusiones = exclusiones.filter((a) => a !== archivo);
      mostrarExclusiones();
      (listaExclusiones.querySelectorAll('button')[i] ??
       listaExclusiones.querySelector('li:last-child button') ?? entradaExclusiones).focus();
      await guardarSiSeRecuerda();
    });
    item.append(nombre, ' ', quitar);
    return item;
  }));
}

async function agregarExclusiones(archivos) {
  exclusiones = [...exclusiones, ...archivos];
  zonaExclusiones.open = true;
  mostrarExclusiones();
  await guardarSiSeRecuerda();
}

entradaExclusiones.addEventListener('change', async () => {
  const archivos = [...entradaExclusiones.files];
  entradaExclusiones.value = '';
  await agregarExclusiones(archivos);
});

recordar.addEventListener('change', async () => {
  if (recordar.checked) {
    await guardarSiSeRecuerda();
    return;
  }
  try {
    await olvidar();
    notaRecordar.textContent = 'Este navegador ya no guarda los archivos: se olvidarán al cerrar ' +
        'la página.';
  } catch (error) {
    notaRecordar.textContent = `No se pudieron borrar (${error?.message ?? error}).`;
  }
});

// Those kept on an earlier visit, shown with how to forget them: never a list left short unseen.
async function recuperarExclusiones() {
  let archivos;
  try {
    archivos = await guardadas();
  } catch {
    return;
  }
  if (!Array.isArray(archivos) || archivos.length === 0) {
    return;
  }
  exclusiones = [...archivos, ...exclusiones];
  recordar.checked = true;
  zonaExclusiones.open = true;
  notaRecordar.textContent = 'Guardados en este navegador en una visita anterior, tal como eran ' +
      'entonces. Desmarque «Recordar en este navegador» para olvidarlos.';
  mostrarExclusiones();
}

cancelar.addEventListener('click', () => control?.abort());
document.addEventListener('keydown', (evento) => {
  if (evento.key === 'Escape' && control) {
    control.abort();
  } else if (evento.key === 'F1') {
    // The help, as F1 opens it in the windows: unfolded, in view, its heading focused.
    evento.preventDefault();
    const ayuda = document.querySelector('details.ayuda');
    ayuda.open = true;
    const titulo = ayuda.querySelector('summary');
    titulo.focus();
    titulo.scrollIntoView({ block: 'start' });
  }
});

// The whole page takes a drop: the files make a list, or, dropped on «Direcciones que no deben
// recibir», join its files.
let arrastres = 0;
const kSoltarLista = textoSoltar.textContent;
const kSoltarExclusiones = 'Suelte los archivos para añadirlos a «Direcciones que no deben recibir»';
const sobreExclusiones = (evento) => evento.target instanceof Element &&
    evento.target.closest('#exclusiones') !== null;
function conArchivos(evento) {
  return [...(evento.dataTransfer?.types ?? [])].includes('Files');
}
document.addEventListener('dragenter', (evento) => {
  if (conArchivos(evento)) {
    ++arrastres;
    soltar.hidden = false;
  }
});
document.addEventListener('dragleave', () => {
  if (--arrastres <= 0) {
    arrastres = 0;
    soltar.hidden = true;
  }
});
document.addEventListener('dragover', (evento) => {
  if (conArchivos(evento)) {
    evento.preventDefault();
    evento.dataTransfer.dropEffect = 'copy';
    textoSoltar.textContent = sobreExclusiones(evento) ? kSoltarExclusiones : kSoltarLista;
  }
});
document.addEventListener('drop', (evento) => {
  if (!conArchivos(evento)) {
    return;
  }
  evento.preventDefault();
  arrastres = 0;
  soltar.hidden = true;
  const archivos = [...evento.dataTransfer.files];
  if (archivos.length === 0) {
    limpiar();
    mostrarMensaje({ titulo: kTitulo, texto: kNoValido, estilo: 48 }).focus();
    return;
  }
  if (sobreExclusiones(evento)) {
    agregarExclusiones(archivos);
  } else {
    ejecutar(archivos);
  }
});

preparar();
const recuperadas = recuperarExclusiones();
if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('servicio.js').catch(() => {});
}
