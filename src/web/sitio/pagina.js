// The page: a file chosen or dropped goes through procesar; progress, the run's messages and the
// list's groups are shown as the window shows them.
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

// What the progress says before the engine's first report: the page's own first words.
const kAntesDelMotor = fase.textContent;
const kTitulo = 'Messenger Add-in';
const kNoValido = 'El archivo especificado no es valido...';
const kGruposPorVez = 20;
// The icon of each message-box style, with what it says to a screen reader.
const kIconos = { 16: ['⛔', 'Error'], 48: ['⚠', 'Atención'], 64: ['ℹ', 'Información'] };

let control = null;  // the run under way, if any
let urlLista = null;

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

function mostrarLista(nombreLista, lista, separador) {
  urlLista = URL.createObjectURL(new Blob([lista], { type: 'text/plain;charset=utf-8' }));
  descargar.href = urlLista;
  descargar.download = nombreLista;
  descargar.textContent = `Descargar ${nombreLista}`;
  const texto = new TextDecoder().decode(lista);
  let direcciones = 0;
  for (const linea of texto.split('\r\n')) {
    direcciones += linea.trim() !== '' ? linea.split(separador).length : 0;
  }
  $('resumen').textContent = `(${direcciones.toLocaleString('es')} direcciones, ` +
      `${(lista.length / 1024).toLocaleString('es', { maximumFractionDigits: 1 })} KB)`;
  mostrarGrupos(lectorDeGrupos(texto, separador), 0);
  resultado.hidden = false;
}

async function ejecutar(archivo) {
  if (control) {
    return;
  }
  limpiar();
  ruta.value = archivo.name;
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
    const r = await procesar(archivo, {
      tamanoGrupo,
      separador,
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
    if (r.estado === 0) {
      mostrarLista(r.nombreLista, r.lista, separador);
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
  if (entrada.files.length === 1) {
    ejecutar(entrada.files[0]);
  }
});

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

// The whole page takes a drop; only one file of a kind the engine reads is run.
let arrastres = 0;
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
  }
});
document.addEventListener('drop', (evento) => {
  if (!conArchivos(evento)) {
    return;
  }
  evento.preventDefault();
  arrastres = 0;
  soltar.hidden = true;
  const archivos = evento.dataTransfer.files;
  if (archivos.length !== 1) {
    limpiar();
    mostrarMensaje({ titulo: kTitulo, texto: kNoValido, estilo: 48 }).focus();
    return;
  }
  ejecutar(archivos[0]);
});

preparar();
if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('servicio.js').catch(() => {});
}
