// The engine's worker: one run on the files the page hands over. Each file is mounted read-only
// (read in blocks of 8 MB as the engine goes through it, never copied whole): one input at
// /entrada, several each in a folder of its own (/entrada/0, /entrada/1…: two files may share a
// name), the exclusion lists likewise under /excluir, as motor_web.cpp expects them. The list
// lives in memory, and its bytes go back to the page without a copy; of the working files only
// their names and sizes are kept.
'use strict';
importScripts('motor.js');

// What the worker reads of a chosen file at once (see below).
const kBloque = 8 << 20;

const motor = crearMotor({ print() {}, printErr() {} }).then((m) => {
  // Past 1 MB the memory file system grows a file by an eighth at a time, so writing a list of
  // 100 MB copies it some forty times over; doubling copies it about once. Past 256 MB it grows by
  // that much, so that a large file wastes at most that much. A list starts as large as the
  // inputs (the reservaLista of /salida), which it seldom outgrows: no copy then, and no old
  // copy left beside the new one until the collector comes; what is not written takes no memory.
  const memfs = m.FS.filesystems.MEMFS;
  memfs.expandFileStorage = (nodo, capacidad) => {
    const antes = nodo.contents ? nodo.contents.length : 0;
    if (antes >= capacidad) {
      return;
    }
    const tamano = Math.max(capacidad, antes + Math.min(antes, 256 << 20), 256);
    const reserva = nodo.parent?.reservaLista ?? 0;
    let nuevo = null;
    try {
      nuevo = new Uint8Array(Math.max(tamano, reserva));
    } catch (error) {
      // A browser short of memory may still give what is needed now.
      nuevo = new Uint8Array(tamano);
    }
    if (nodo.usedBytes > 0) {
      nuevo.set(nodo.contents.subarray(0, nodo.usedBytes));
    }
    nodo.contents = nuevo;
  };
  // The engine reads a file a megabyte at a time; each read of the browser's file is a round trip
  // to the browser, so the worker asks for a block of several at once and serves the engine's
  // reads from it.
  const workerfs = m.WORKERFS.stream_ops;
  const leerMontado = workerfs.read;
  workerfs.read = (flujo, destino, desde, largo, posicion) => {
    const tamano = flujo.node.size;
    if (largo >= kBloque || posicion >= tamano) {
      return leerMontado(flujo, destino, desde, largo, posicion);
    }
    const hasta = Math.min(posicion + largo, tamano);
    let bloque = flujo.bloque;
    if (!bloque || posicion < bloque.inicio || hasta > bloque.inicio + bloque.bytes.length) {
      const pedido = flujo.node.contents.slice(posicion, Math.min(posicion + kBloque, tamano));
      bloque = flujo.bloque = { inicio: posicion,
                                bytes: new Uint8Array(m.WORKERFS.reader.readAsArrayBuffer(pedido)) };
    }
    const parte = bloque.bytes.subarray(posicion - bloque.inicio, hasta - bloque.inicio);
    destino.set(parte, desde);
    return parte.length;
  };
  // The working files go to /tmp, which the page never shows and no run reads back: there each
  // keeps its name, size and times, not its bytes, which would cost the input's size again in
  // memory and the time to copy it there. Reading one fails rather than give bytes it has not.
  const crearNodo = memfs.createNode;
  memfs.createNode = (padre, ...resto) => {
    const nodo = crearNodo(padre, ...resto);
    nodo.sinBytes = Boolean(padre && padre.sinBytes);
    return nodo;
  };
  m.FS.lookupPath('/tmp').node.sinBytes = true;
  const operaciones = memfs.ops_table.file.stream;
  const { read: leer, write: escribir } = operaciones;
  operaciones.read = function (flujo, ...resto) {
    if (flujo.node.sinBytes) {
      throw new m.FS.ErrnoError(29);  // EIO
    }
    return leer.call(this, flujo, ...resto);
  };
  operaciones.write = function (flujo, bytes, desde, largo, posicion, ...resto) {
    if (!flujo.node.sinBytes) {
      return escribir.call(this, flujo, bytes, desde, largo, posicion, ...resto);
    }
    if (largo > 0) {
      flujo.node.timestamp = Date.now();
      flujo.node.usedBytes = Math.max(flujo.node.usedBytes, posicion + largo);
    }
    return largo;
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

// The names for the engine, each as its length in bytes (four, little-endian) and its UTF-8.
function nombresEmpaquetados(nombres) {
  const codificador = new TextEncoder();
  const partes = nombres.map((n) => codificador.encode(n));
  const bytes = new Uint8Array(partes.reduce((suma, p) => suma + 4 + p.length, 0));
  const vista = new DataView(bytes.buffer);
  let lugar = 0;
  for (const p of partes) {
    vista.setUint32(lugar, p.length, true);
    bytes.set(p, lugar + 4);
    lugar += 4 + p.length;
  }
  return bytes;
}

// Mounts each file where the engine looks for it; the folders mounted, to unmount afterwards.
function montar(FS, WORKERFS, entradas, exclusiones) {
  const montados = [];
  const montarEn = (carpeta, archivo) => {
    if (!FS.analyzePath(carpeta).exists) {
      FS.mkdir(carpeta);
    }
    // A name the engine refuses before opening anything needs no file behind it.
    if (nombreMontable(archivo.name)) {
      FS.mount(WORKERFS, { blobs: [{ name: archivo.name, data: archivo }] }, carpeta);
      montados.push(carpeta);
    }
  };
  for (const carpeta of ['/entrada', '/excluir', '/salida']) {
    if (!FS.analyzePath(carpeta).exists) {
      FS.mkdir(carpeta);
    }
  }
  if (entradas.length === 1) {
    montarEn('/entrada', entradas[0]);
  } else {
    entradas.forEach((archivo, i) => montarEn(`/entrada/${i}`, archivo));
  }
  exclusiones.forEach((archivo, i) => montarEn(`/excluir/${i}`, archivo));
  return montados;
}

onmessage = async ({ data }) => {
  const { entradas, exclusiones, banderas, anio, mes, dia, porGrupo, separador,
          soloNombre } = data;
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
    // The report as the command writes it, and the lines every front end shows of it.
    let informe = null;
    const lineasDelResumen = [];
    m.alInforme = (json) => { informe = JSON.parse(json); };
    m.alLineaResumen = (linea) => lineasDelResumen.push(linea);
    const montados = montar(m.FS, m.WORKERFS, entradas, exclusiones);
    m.FS.lookupPath('/salida').node.reservaLista =
      Math.min(entradas.reduce((suma, a) => suma + a.size, 0) + (1 << 20), 1 << 30);
    m.FS.chdir('/entrada');
    const nombres = nombresEmpaquetados([...entradas, ...exclusiones].map((a) => a.name));
    const estado = m.ccall('tralmix_procesar', 'number',
                           ['array', 'number', 'number', 'number', 'number', 'number', 'number',
                            'number', 'string', 'array', 'number'],
                           [nombres, nombres.length, entradas.length, exclusiones.length, banderas,
                            anio, mes, dia, porGrupo, ...unidades(separador)]);
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
    for (const carpeta of montados) {
      m.FS.unmount(carpeta);
    }
    postMessage({ tipo: 'fin', estado, lista, mensajes, informe, lineasDelResumen },
                lista ? [lista.buffer] : []);
  } catch (error) {
    postMessage({ tipo: 'error', texto: String(error && error.message || error) });
  }
};
