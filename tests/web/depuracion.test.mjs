// The engine's clean-up in Debian's Chromium: the native tests' table of entries, judged with the
// browser's URL parser for the labels beyond ASCII, in a Web Worker as the page runs the engine.
import { after, before, test } from 'node:test';
import assert from 'node:assert/strict';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
import { servir } from '../../scripts/servidor-web.mjs';

const raiz = new URL('../../', import.meta.url).pathname;
const pruebas = process.env.TRALMIX_PRUEBAS_WEB ?? join(raiz, 'build/web/pruebas');

let servidor;
let navegador;

before(async () => {
  servidor = await servir(pruebas);
  navegador = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox'],
  });
});

after(async () => {
  await navegador?.close();
  await servidor?.cerrar();
});

test('la depuración da en el navegador lo que da la tabla', { timeout: 120000 }, async () => {
  const pagina = await navegador.newPage();
  await pagina.goto(servidor.url);
  const informe = await pagina.evaluate(() => new Promise((resolver, rechazar) => {
    const trabajador = new Worker('trabajador.js');
    trabajador.onmessage = (e) => resolver(e.data);
    trabajador.onerror = (e) => rechazar(new Error(e.message));
  }));
  const [casos, ...fallos] = informe.split('\n');
  assert.ok(Number(casos) > 0, informe);
  assert.equal(fallos.join('\n'), '');
});
