// The engine's worker: one run on the file the page hands over. The file is mounted read-only
// (WORKERFS reads it in pieces as the engine asks, never copying it whole); the working file and
// the list live in memory, and the list's bytes go back to the page without a copy.
'use strict';
importScripts('motor.js');

const motor = crearMotor({ print() {}, printErr() {} }).then((m) => {
  // Past 1 MB the memory file system grows a file by an eighth at a time, so writing a list of
  // 100 MB copies it some forty times over; doubling copies it about once. Past 256 MB it grows by
  // that much, so that a large file wastes at most that much.
  const memfs = m.FS.filesystems.MEMFS;
  memfs.expandFileStorage = (nodo, capacidad) => {
    const antes = nodo.contents ? nodo.contents.length : 0;
    if (antes >= capacidad) {
      return;
    }
    const nuevo = new Uint8Array(Math.max(capacidad, antes + Math.min(antes, 256 << 20), 256));
    if (nodo.usedBytes > 0) {
      nuevo.set(nodo.contents.subarray(0, nodo.usedBytes));
    }
    nodo.contents = nuevo;
  };
  return m;
});

// The names the engine may use for a path's last part.
function nombreMontable(nombre) {
  return nombre !== '' && nombre !== '.' && nombre !== '..' && !nombre.includes('/');
}

// The separator for the engine as its UTF-16 code units (little-endian, as WebAssembly keeps
// them) and their number, -1 for the default: a C string would stop at a NUL and turn an
// unpaired surrogate into another character. Beyond the longest separator one code unit more
// is enough for the engine to refuse it as too long, as it would the whole text.
function unidades(separador) {
  if (separador === null) {
    return [new Uint8Array(2), -1];
  }
  const n = Math.min(separador.length, 17);
  const bytes = new Uint8Array(2 * n + 2);
  for (let i = 0; i < n; ++i) {
    const c = separador.charCodeAt(i);
    bytes[2 * i] = c & 0xFF;
    bytes[2 * i + 1] = c >> 8;
  }
  return [bytes, n];
}

onmessage = async ({ data }) => {
  const { archivo, nombre, anio, mes, dia, porGrupo, separador, soloNombre } = data;
  try {
    const m = await motor;
    // The list's name is the engine's, told before the run: a run stopped then still has it.
    let nombreLista = '';
    m.alNombreLista = (n) => { nombreLista = n; };
    m.ccall('tralmix_nombre_lista', null, ['number', 'number', 'number'], [anio, mes, dia]);
    postMessage({ tipo: 'nombre', nombreLista });
    if (soloNombre) {
      return;
    }
    let opcion = '';
    m.alOpcion = (motivo) => { opcion = motivo; };
    const mensajes = [];
    m.alMensaje = (titulo, texto, estilo) => mensajes.push({ titulo, texto, estilo });
    m.alAvanzar = (fase, hecho, total, textos) =>
      postMessage({ tipo: 'avance', fase, hecho, total, textos });
    for (const carpeta of ['/entrada', '/salida']) {
      if (!m.FS.analyzePath(carpeta).exists) {
        m.FS.mkdir(carpeta);
      }
    }
    // A name the engine refuses before opening anything needs no file behind it.
    const montado = nombreMontable(nombre);
    if (montado) {
      m.FS.mount(m.WORKERFS, { blobs: [{ name: nombre, data: archivo }] }, '/entrada');
    }
    m.FS.chdir('/entrada');
    const estado = m.ccall('tralmix_procesar', 'number',
                           ['string', 'number', 'number', 'number', 'string', 'array', 'number'],
                           [nombre, anio, mes, dia, porGrupo, ...unidades(separador)]);
    if (estado < 0) {
      postMessage({ tipo: 'opcion', texto: opcion });
      return;
    }
    let lista = null;
    if (estado === 0) {
      // The list's bytes go to the page as the memory file system holds them, not copied: a
      // copy of a list of a gigabyte costs as much again.
      const nodo = m.FS.lookupPath(`/salida/${nombreLista}`).node;
      lista = new Uint8Array(nodo.contents.buffer, nodo.contents.byteOffset, nodo.usedBytes);
      m.FS.unlink(`/salida/${nombreLista}`);
    }
    m.FS.chdir('/');
    if (montado) {
      m.FS.unmount('/entrada');
    }
    postMessage({ tipo: 'fin', estado, lista, mensajes }, lista ? [lista.buffer] : []);
  } catch (error) {
    postMessage({ tipo: 'error', texto: String(error && error.message || error) });
  }
};
