// The browser edition against the native command in the same run: each input through procesar in
// headless Chromium and through tralmix-cli, in turns; the lists must be the same bytes. Also the
// tab's peak memory and the largest plain list that works.
//   node bench/web.mjs SITIO CLI ENTRADAS... [--mayores ARCHIVOS...]
// Prints one JSON object per line.
import { spawnSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdtempSync, readFileSync, readdirSync, rmSync } from 'node:fs';
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

// The renderer's peak resident memory, where the page and its workers live.
function picoRenderizador(navegador) {
  let pico = 0;
  const raiz = navegador.process().pid;
  for (const pid of readdirSync('/proc').filter((n) => /^\d+$/.test(n))) {
    try {
      const cmd = readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      if (cmd.includes('--type=renderer') && cmd.includes('chromium')) {
        const hwm = /VmHWM:\s+(\d+)/.exec(readFileSync(`/proc/${pid}/status`, 'utf8'));
        pico = Math.max(pico, Number(hwm?.[1] ?? 0));
      }
    } catch {}
  }
  return raiz ? pico / 1024 : null;
}

async function conNavegador(hacer) {
  // A run on a large file may take minutes.
  const navegador = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
                                             args: ['--no-sandbox'], protocolTimeout: 1800000 });
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

function enNavegador(pagina) {
  return pagina.evaluate(async () => {
    const { procesar } = await import('./tralmix.js');
    const archivo = document.getElementById('bench').files[0];
    // A worker with its engine loaded, as the page keeps one ready.
    await new Promise((r) => setTimeout(r, 1500));
    const t0 = performance.now();
    const r = await procesar(archivo, { fecha: '2005-03-05' });
    const segundos = (performance.now() - t0) / 1000;
    let suma = null;
    if (r.lista) {
      suma = [...new Uint8Array(await crypto.subtle.digest('SHA-256', r.lista))]
          .map((b) => b.toString(16).padStart(2, '0')).join('');
    }
    return { segundos, estado: r.estado, suma, mensajes: r.mensajes.map((m) => m.texto) };
  });
}

for (const archivo of entradas) {
  await conNavegador(async (navegador, pagina) => {
    await elegir(pagina, archivo);
    const web = [];
    const nat = [];
    for (let i = 0; i < corridas; ++i) {
      nat.push(nativo(archivo));
      web.push(await enNavegador(pagina));
    }
    const mediana = (v) => v.map((x) => x.segundos).sort((a, b) => a - b)[Math.floor(v.length / 2)];
    console.log(JSON.stringify({
      entrada: basename(archivo), web: mediana(web), nativo: mediana(nat),
      iguales: web.every((w) => w.estado === 0 && w.suma === nat[0].suma),
      picoWebMB: picoRenderizador(navegador), picoNativoMB: nat[0].picoMB,
    }));
  });
}

for (const archivo of mayores) {
  await conNavegador(async (navegador, pagina) => {
    await elegir(pagina, archivo);
    const r = await enNavegador(pagina);
    console.log(JSON.stringify({ entrada: basename(archivo), mayor: true, estado: r.estado,
                                 segundos: r.segundos, mensajes: r.mensajes,
                                 picoWebMB: picoRenderizador(navegador) }));
  }).catch((e) => console.log(JSON.stringify({ entrada: basename(archivo), mayor: true,
                                               error: String(e.message ?? e) })));
}
await servidor.cerrar();
