// Screenshots of the page for the notes: at rest, during a run, with a result and with a message,
// at desktop and phone width; then several files with exclusion lists and the summary.
//   node tests/web/capturas.mjs CARPETA
import { mkdtemp, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import puppeteer from 'puppeteer-core';
import { servir } from '../../scripts/servidor-web.mjs';

const raiz = new URL('../../', import.meta.url).pathname;
const destino = process.argv[2] ?? '.';
const servidor = await servir(process.env.TRALMIX_SITIO ?? join(raiz, 'build/web/sitio'));
const navegador = await puppeteer.launch({ executablePath: '/usr/bin/chromium', headless: true,
                                           args: ['--no-sandbox'] });
const temporal = await mkdtemp(join(tmpdir(), 'tralmix-capturas-'));
const larga = join(temporal, 'clientes.txt');
await writeFile(larga, Array.from({ length: 2500000 }, (_, i) => `cliente${i}@example.com\r\n`).join(''));
const golden = join(raiz, 'tests/data/golden');

for (const [nombre, vista] of [['escritorio', { width: 1024, height: 800 }],
                               ['telefono', { width: 360, height: 740, deviceScaleFactor: 2, isMobile: true }]]) {
  const pagina = await navegador.newPage();
  await pagina.setViewport(vista);
  await pagina.goto(servidor.url);
  await pagina.click('.opciones summary');
  await pagina.screenshot({ path: join(destino, `${nombre}-reposo.png`) });
  await pagina.click('.opciones summary');
  await (await pagina.$('#archivo')).uploadFile(larga);
  await pagina.waitForFunction(() => Number(document.getElementById('avance').value) > 150);
  await pagina.screenshot({ path: join(destino, `${nombre}-proceso.png`) });
  await pagina.click('#cancelar');
  await pagina.waitForSelector('.mensaje');
  await (await pagina.$('#archivo')).uploadFile(join(golden, 'list_no_at.input.txt'));
  await pagina.waitForFunction(() => document.querySelector('.mensaje-texto')?.textContent.includes('direcciones'));
  await pagina.screenshot({ path: join(destino, `${nombre}-mensaje.png`) });
  await (await pagina.$('#archivo')).uploadFile(join(golden, 'list_97.input.txt'));
  await pagina.waitForSelector('#descargar', { visible: true });
  await pagina.click('.mensaje button');
  await pagina.screenshot({ path: join(destino, `${nombre}-resultado.png`), fullPage: nombre === 'telefono' });
  await pagina.close();
}
// Several files, the exclusion lists' chooser with two files, and the summary of a plain list that
// holds an entry no mail program takes and a mistyped domain.
const pegada = join(temporal, 'pegada.txt');
await writeFile(pegada, 'De  Ana  ana@example.com\r\nana@gmial.com\r\nluis@example.org\r\nbaja@example.com\r\n');
const bajas = join(temporal, 'bajas.txt');
await writeFile(bajas, 'baja@example.com\r\n@competencia.example\r\n');
const pagina = await navegador.newPage();
await pagina.setViewport({ width: 1024, height: 900 });
await pagina.goto(servidor.url);
await (await pagina.$('#excluir')).uploadFile(bajas, join(raiz, 'tests/data/formatos/tb_export_csv.csv'));
await pagina.click('#recordar');
await pagina.waitForFunction(() => document.getElementById('nota-recordar').textContent.startsWith('Guardados'));
await (await pagina.$('#exclusiones')).screenshot({ path: join(destino, 'exclusiones.png') });
await (await pagina.$('#archivo')).uploadFile(join(golden, 'list_97.input.txt'), join(golden, 'bulk_es.input.txt'),
                                              join(raiz, 'tests/data/formatos/tb_export_vcf.vcf'));
await pagina.waitForSelector('#descargar', { visible: true });
await pagina.click('.mensaje button');
await pagina.screenshot({ path: join(destino, 'varios-archivos.png') });
await (await pagina.$('#archivo')).uploadFile(pegada);
await pagina.waitForSelector('#descargar', { visible: true });
await pagina.click('.mensaje button');
await pagina.screenshot({ path: join(destino, 'resumen.png') });
await pagina.close();
await navegador.close();
await servidor.cerrar();
