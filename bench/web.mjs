// The browser edition against the native command in the same run: each input through procesar in
// headless Chromium and through tralmix-cli, in turns; the lists must be the same bytes. Also the
// tab's memory at rest and its peak during a run, and the largest plain list that works.
//   node bench/web.mjs SITIO CLI ENTRADAS... [--mayores ARCHIVOS...]
// Prints one JSON object per line.
import { spawnSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdtempSync, readFileSync, readdirSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { basename, join } from 'node:path';
import { createRequire } from 'node:module';

const require = createRequire(new URL('../tests/web/', import.meta.url));
const puppeteer = require('puppeteer-core');
const { servir } = await import('../scripts/servidor-web.mjs');

const [sitio, cli, ...resto] = process.argv.slice(2);
const corte = resto.indexOf('--mayores');
const entradas = corte < 0 ? resto : resto.slice(0, corte);
const mayores = corte < 0 ? [] : resto.slice(corte + 1);
const corridas = Number(process.env.CORRIDAS ?? 3);
const servidor = await servir(sitio);

function nativo(archivo) {
  const salida = mkdtempSync(join(tmpdir(), 'tralmix-bench-'));
  const t0 = process.hrtime.bigint();
  const r = spawnSync('/usr/bin/time', ['-f', '%M', cli, '--output-dir', salida, '--temp-dir', salida,
                                        '--date', '2005-03-05', '--quiet', archivo], { encoding: 'utf8' });
  const segundos = Number(process.hrtime.bigint() - t0) / 1e9;
  const kb = Number(r.stderr.trim().split('\n').pop());
  let suma = null;
  try {
    suma = createHash('sha256').update(readFileSync(join(salida, 'Mails_20050305.txt'))).digest('hex');
  } catch {}
  rmSync(salida, { recursive: true, force: true });
  return { segundos, estado: r.status, suma, picoMB: kb / 1024 };
}

// The renderers of this browser (the page and its workers live in one), found through their
// parents: other browsers on the machine are not ours to count.
function renderizadores(navegador) {
  const raiz = navegador.process()?.pid;
  const padres = new Map();
  const esRenderizador = new Set();
  for (const pid of readdirSync('/proc').filter((n) => /^\d+$/.test(n))) {
    try {
      const estado = readFileSync(`/proc/${pid}/stat`, 'utf8');
      padres.set(Number(pid), Number(estado.slice(estado.lastIndexOf(')') + 2).split(' ')[1]));
      if (readFileSync(`/proc/${pid}/cmdline`, 'utf8').includes('--type=renderer')) {
        esRenderizador.add(Number(pid));
      }
    } catch {}
  }
  const deRaiz = (pid) => {
    for (let p = pid; p > 1; p = padres.get(p) ?? 0) {
      if (p === raiz) {
        return true;
      }
    }
    return false;
  };
  return [...esRenderizador].filter(deRaiz);
}

function memoria(pid, campo) {
  try {
    const kb = new RegExp(`${campo}:\\s+(\\d+)`).exec(readFileSync(`/proc/${pid}/status`, 'utf8'));
    return Number(kb?.[1] ?? 0) / 1024;
  } catch {
    return 0;
  }
}

// The renderers' resident memory now, and their peak since the last empezarPico; MB.
const enReposo = (navegador) => Math.max(0, ...renderizadores(navegador).map((p) => memoria(p, 'VmRSS')));
const picoRenderizador = (navegador) =>
  Math.max(0, ...renderizadores(navegador).map((p) => memoria(p, 'VmHWM')));
// The peak starts again from what is resident now (Linux's clear_refs), so that each run's peak
// is its own and not what the bench does with the list afterwards.
function empezarPico(navegador) {
  for (const pid of renderizadores(navegador)) {
    try {
      writeFileSync(`/proc/${pid}/clear_refs`, '5');
    } catch {}
  }
}

async function conNavegador(hacer) {
  // A run on a large file may take minutes.
  const navegador = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
                                             args: ['--no-sandbox', '--js-flags=--expose-gc'],
                                             protocolTimeout: 1800000 });
  try {
    const pagina = await navegador.newPage();
    await pagina.goto(servidor.url);
    return await hacer(navegador, pagina);
  } finally {
    await navegador.close();
  }
}

// A disk file as a File in the page, through a copy of the chooser that runs nothing itself.
async function elegir(pagina, archivo) {
  await pagina.evaluate(() => {
    const copia = document.getElementById('archivo').cloneNode();
    copia.id = 'bench';
    document.body.append(copia);
  });
  await (await pagina.$('#bench')).uploadFile(archivo);
}

// One run in the page, its worker's engine loaded, and the renderer's peak during it; the list's
// checksum is taken afterwards.
async function enNavegador(navegador, pagina) {
  // What the last run left (its list, the checksum's copy) collected; a worker with its engine
  // loaded, as the page keeps one ready.
  await pagina.evaluate(() => globalThis.gc?.());
  await new Promise((r) => setTimeout(r, 1500));
  const reposoMB = enReposo(navegador);
  empezarPico(navegador);
  const r = await pagina.evaluate(async () => {
    const { procesar } = await import('./tralmix.js');
    const archivo = document.getElementById('bench').files[0];
    const t0 = performance.now();
    const r = await procesar(archivo, { fecha: '2005-03-05' });
    const segundos = (performance.now() - t0) / 1000;
    window.benchLista = r.lista;
    return { segundos, estado: r.estado, mensajes: r.mensajes.map((m) => m.texto) };
  });
  const picoWebMB = picoRenderizador(navegador);
  const suma = await pagina.evaluate(async () => {
    const lista = window.benchLista;
    window.benchLista = null;
    return lista && [...new Uint8Array(await crypto.subtle.digest('SHA-256', lista))]
        .map((b) => b.toString(16).padStart(2, '0')).join('');
  });
  return { ...r, suma, picoWebMB, reposoMB };
}

for (const archivo of entradas) {
  await conNavegador(async (navegador, pagina) => {
    await elegir(pagina, archivo);
    const web = [];
    const nat = [];
    for (let i = 0; i < corridas; ++i) {
      nat.push(nativo(archivo));
      web.push(await enNavegador(navegador, pagina));
    }
    const mediana = (v) => v.map((x) => x.segundos).sort((a, b) => a - b)[Math.floor(v.length / 2)];
    console.log(JSON.stringify({
      entrada: basename(archivo), web: mediana(web), nativo: mediana(nat),
      iguales: web.every((w) => w.estado === 0 && w.suma === nat[0].suma),
      picoWebMB: Math.max(...web.map((w) => w.picoWebMB)),
      reposoWebMB: Math.min(...web.map((w) => w.reposoMB)), picoNativoMB: nat[0].picoMB,
    }));
  });
}

for (const archivo of mayores) {
  await conNavegador(async (navegador, pagina) => {
    await elegir(pagina, archivo);
    const r = await enNavegador(navegador, pagina);
    console.log(JSON.stringify({ entrada: basename(archivo), mayor: true, estado: r.estado,
                                 segundos: r.segundos, mensajes: r.mensajes,
                                 picoWebMB: r.picoWebMB }));
  }).catch((e) => console.log(JSON.stringify({ entrada: basename(archivo), mayor: true,
                                               error: String(e.message ?? e) })));
}
await servidor.cerrar();
