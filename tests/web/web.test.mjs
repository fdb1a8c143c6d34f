// The browser edition in Debian's Chromium: the module against the golden files, the page as a
// person uses it, its accessibility, and that nothing leaves the machine.
import { after, before, describe, test } from 'node:test';
import assert from 'node:assert/strict';
import { mkdtemp, readdir, readFile, rm, writeFile } from 'node:fs/promises';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { createRequire } from 'node:module';
import puppeteer from 'puppeteer-core';
import { servir } from '../../scripts/servidor-web.mjs';

const raiz = new URL('../../', import.meta.url).pathname;
const sitio = process.env.TRALMIX_SITIO ?? join(raiz, 'build/web/sitio');
const golden = join(raiz, 'tests/data/golden');
const axe = createRequire(import.meta.url).resolve('axe-core/axe.min.js');

let servidor;
let navegador;
let temporal;

before(async () => {
  servidor = await servir(sitio);
  navegador = await puppeteer.launch({
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--no-sandbox'],
  });
  temporal = await mkdtemp(join(tmpdir(), 'tralmix-web-'));
});

after(async () => {
  await navegador?.close();
  await servidor?.cerrar();
  await rm(temporal, { recursive: true, force: true });
});

// A page of its own browser context: no service worker or clipboard left from another test.
async function abrir() {
  const contexto = await navegador.createBrowserContext();
  await contexto.overridePermissions(servidor.url,
                                     ['clipboard-read', 'clipboard-write', 'clipboard-sanitized-write']);
  const pagina = await contexto.newPage();
  await pagina.goto(servidor.url);
  return pagina;
}

// Runs procesar in the page on the given bytes under the given name.
function procesarEn(pagina, nombre, bytes, opciones = {}) {
  return pagina.evaluate(async (nombre, base64, opciones) => {
    const { procesar } = await import('./tralmix.js');
    const bytes = Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
    const r = await procesar(new File([bytes], nombre), opciones);
    return { ...r, lista: r.lista && btoa(String.fromCharCode(...r.lista)) };
  }, nombre, Buffer.from(bytes).toString('base64'), opciones);
}

function comoTexto(mensajes) {
  return mensajes.map((m) => `${m.titulo}: ${m.texto}\n`).join('');
}

async function textoMensajes(pagina) {
  return pagina.$$eval('.mensaje', (cajas) => cajas.map((c) =>
    `${c.querySelector('.mensaje-titulo').textContent}: ${c.querySelector('.mensaje-texto').textContent}`));
}

async function resultadoVisible(pagina) {
  await pagina.waitForSelector('#descargar', { visible: true });
}

describe('el módulo', { timeout: 120000 }, () => {
  test('da la lista y los mensajes del comando en cada archivo de referencia', async () => {
    const pagina = await abrir();
    const entradas = (await readdir(golden)).filter((n) => n.includes('.input.'));
    assert.ok(entradas.length > 0);
    for (const entrada of entradas) {
      const nombre = entrada.slice(0, entrada.indexOf('.input.'));
      const r = await procesarEn(pagina, entrada, await readFile(join(golden, entrada)),
                                 { fecha: '2005-03-05' });
      const esperada = await readFile(join(golden, `${nombre}.expected`)).catch(() => null);
      assert.equal(r.estado, esperada ? 0 : 1, nombre);
      assert.equal(r.nombreLista, 'Mails_20050305.txt');
      assert.deepEqual(r.lista && Buffer.from(r.lista, 'base64'), esperada, nombre);
      const mensajes = (await readFile(join(golden, `${nombre}.stderr`), 'utf8'))
          .replaceAll('@RESULT@', 'Mails_20050305.txt').replaceAll('@INPUT@', entrada);
      assert.equal(comoTexto(r.mensajes), mensajes, nombre);
    }
  });

  test('lee los archivos de contactos y correo como el comando', async () => {
    const pagina = await abrir();
    const formatos = join(raiz, 'tests/data/formatos');
    const esperados = (await readdir(formatos)).filter((n) => n.endsWith('.expected'));
    assert.ok(esperados.length > 0);
    for (const esperado of esperados) {
      const base = esperado.slice(0, -'.expected'.length);
      const entrada = (await readdir(formatos)).find((n) => n.startsWith(`${base}.`) &&
          !n.endsWith('.expected') && !n.endsWith('.body'));
      const lineas = (await readFile(join(formatos, esperado), 'utf8')).split(/\r?\n/);
      const quiere = new Set(lineas.filter((l) => l && !l.startsWith('#')).map((l) => l.toLowerCase()));
      const dudosas = new Set(lineas.map((l) => /^# doubtful: (\S+)/.exec(l)?.[1]?.toLowerCase())
          .filter(Boolean));
      const r = await procesarEn(pagina, entrada, await readFile(join(formatos, entrada)));
      assert.equal(r.estado, quiere.size > 0 ? 0 : 1, entrada);
      const tiene = new Set(r.lista ? Buffer.from(r.lista, 'base64').toString('utf8')
          .split(/\r\n|, /).filter(Boolean) : []);
      assert.deepEqual([...quiere].filter((d) => !tiene.has(d)), [], `${entrada}: faltan`);
      assert.deepEqual([...tiene].filter((d) => !quiere.has(d) && !dudosas.has(d)), [],
                       `${entrada}: sobran`);
    }
  });

  test('rechaza un archivo binario diciendo qué es y lee un buzón sin extensión', async () => {
    const pagina = await abrir();
    const hoja = await procesarEn(pagina, 'clientes.xlsx',
                                  Buffer.from('PK\x03\x04\x14\x00\x06\x00a@x.example', 'latin1'));
    assert.equal(hoja.estado, 1);
    assert.equal(hoja.lista, null);
    assert.match(comoTexto(hoja.mensajes), /Motivo: es un archivo comprimido \(zip\).*CSV/);
    const buzon = await procesarEn(pagina, 'Inbox', 'From - Sat Jan 03 01:05:34 1996\n' +
        'From: Alice <alice@x.example>\nMessage-ID: <1@id.example>\n\nbody@x.example\n');
    assert.equal(buzon.estado, 0);
    assert.equal(Buffer.from(buzon.lista, 'base64').toString(), 'alice@x.example\r\n\r\n');
  });

  test('se detiene con la señal: estado 130, ninguna lista, el nombre y los textos del motor',
       async () => {
    const pagina = await abrir();
    const r = await pagina.evaluate(async () => {
      const { procesar } = await import('./tralmix.js');
      // Enough lines that the run reports progress before it ends; it is stopped at the first.
      const lineas = Array.from({ length: 300000 }, (_, i) => `p${i}@example.com\r\n`).join('');
      const control = new AbortController();
      let avance = null;
      const r = await procesar(new File([lineas], 'larga.txt'), {
        fecha: '2005-03-05',
        senal: control.signal,
        alAvanzar: (fase, hecho, total, textos) => {
          avance ??= { fase, textos };
          control.abort();
        },
      });
      // Stopped before it began.
      const antes = new AbortController();
      antes.abort();
      const r0 = await procesar(new File(['a@b.com'], 'a.txt'),
                                { fecha: '0001-01-01', senal: antes.signal });
      return [{ estado: r.estado, lista: r.lista, nombreLista: r.nombreLista, avance },
              { estado: r0.estado, lista: r0.lista, nombreLista: r0.nombreLista }];
    });
    assert.deepEqual(r[1], { estado: 130, lista: null, nombreLista: 'Mails_00010101.txt' });
    const { avance, ...resto } = r[0];
    assert.deepEqual(resto, { estado: 130, lista: null, nombreLista: 'Mails_20050305.txt' });
    assert.equal(avance.textos.estado, `${avance.fase}...`);
    assert.match(avance.textos.porcentaje, /^\d{1,3} %$/);
  });

  test('rechaza opciones que no entiende', async () => {
    const pagina = await abrir();
    const errores = await pagina.evaluate(async () => {
      const { procesar } = await import('./tralmix.js');
      const archivo = new File(['a@b.com'], 'a.txt');
      const casos = [{ fecha: '2005-02-30' }, { fecha: 'hoy' }, { tamanoGrupo: 0 },
                     { tamanoGrupo: 1001 }, { separador: '' }, { separador: 'a\nb' },
                     { separador: ', \0<img>\r\n' }, { separador: ', \uD800' },
                     { separador: '\u0085' }, { separador: '\u202E' }, { separador: ' @ ' },
                     { separador: ' y ' }, { separador: ','.repeat(5000) }];
      return Promise.all(casos.map((o) => procesar(archivo, o).then(
        () => 'aceptada', (e) => `${e.name}: ${e.message}`)));
    });
    const control = (c) => 'RangeError: separador no válido: no puede tener saltos de línea ni ' +
        `caracteres de control, invisibles o de dirección del texto (${c})`;
    assert.deepEqual(errores, [
      'RangeError: fecha no válida: 2005-02-30 (se espera AAAA-MM-DD)',
      'RangeError: fecha no válida: hoy (se espera AAAA-MM-DD)',
      'RangeError: tamaño de grupo no válido: 0 (se espera un número entero de 1 a 1000)',
      'RangeError: tamaño de grupo no válido: 1001 (se espera un número entero de 1 a 1000)',
      'RangeError: separador no válido: está vacío',
      'RangeError: separador no válido: no puede tener letras ni cifras (U+0061 «a»): los ' +
          'programas de correo no sabrían dónde acaba cada dirección',
      control('U+0000'),
      'RangeError: separador no válido: no es texto Unicode válido (U+D800 sin su pareja)',
      control('U+0085'),
      control('U+202E'),
      'RangeError: separador no válido: no puede tener «@»: los programas de correo no ' +
          'sabrían dónde acaba cada dirección',
      'RangeError: separador no válido: no puede tener letras ni cifras (U+0079 «y»): los ' +
          'programas de correo no sabrían dónde acaba cada dirección',
      'RangeError: separador no válido: tiene más de 16 bytes',
    ]);
  });

  test('hace los grupos del tamaño y con el separador pedidos', async () => {
    const pagina = await abrir();
    const r = await procesarEn(pagina, 'lista.txt', await readFile(join(golden, 'list_97.input.txt')),
                               { tamanoGrupo: 50, separador: '; ' });
    const grupos = Buffer.from(r.lista, 'base64').toString('utf8').split('\r\n\r\n\r\n')
        .filter((g) => g.trim());
    assert.deepEqual(grupos.map((g) => g.split('\r\n\r\n')[1]?.split('; ').length), [49, 46]);
  });
});

describe('la página', { timeout: 120000 }, () => {
  test('elegir un archivo da la lista para descargar, y «Copiar» un grupo', async () => {
    const pagina = await abrir();
    const descargas = await mkdtemp(join(temporal, 'descargas-'));
    await (await pagina.createCDPSession()).send('Browser.setDownloadBehavior', {
      behavior: 'allow', downloadPath: descargas, browserContextId: pagina.browserContext().id });
    await (await pagina.$('#archivo')).uploadFile(join(golden, 'list_97.input.txt'));
    await resultadoVisible(pagina);
    const nombre = await pagina.$eval('#descargar', (a) => a.download);
    assert.match(nombre, /^Mails_\d{8}\.txt$/);
    await pagina.click('#descargar');
    const esperada = await readFile(join(golden, 'list_97.expected'));
    let bajada = null;
    while (!bajada) {
      bajada = await readFile(join(descargas, nombre)).catch(() => null);
      await new Promise((r) => setTimeout(r, 50));
    }
    assert.deepEqual(bajada, esperada);

    const grupos = esperada.toString('utf8').split('\r\n\r\n\r\n').filter((g) => g.trim());
    assert.equal(await pagina.$$eval('.copiar', (b) => b.length), grupos.length);
    await pagina.click('.grupos li:nth-child(2) .copiar');
    await pagina.waitForFunction(() => document.querySelector('.grupos li:nth-child(2) .copiar')
        .textContent === 'Copiado');
    const copiado = await pagina.evaluate(() => navigator.clipboard.readText());
    assert.equal(copiado, grupos[1].replace('\r\n\r\n', ', ').trimEnd());
  });

  test('un archivo soltado se procesa; dos, o uno de otra clase, se rechazan', async () => {
    const pagina = await abrir();
    const soltar = (archivos) => pagina.evaluate((archivos) => {
      const datos = new DataTransfer();
      for (const [nombre, texto] of archivos) {
        datos.items.add(new File([texto], nombre));
      }
      document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: datos, bubbles: true,
                                                          cancelable: true }));
    }, archivos);
    await soltar([['a.txt', 'x@example.com'], ['b.txt', 'y@example.com']]);
    assert.deepEqual(await textoMensajes(pagina),
                     ['⚠ Messenger Add-in: El archivo especificado no es valido...']);
    await soltar([['notas.doc', 'x@example.com']]);
    await pagina.waitForFunction(() => document.querySelector('.mensaje-texto')?.textContent
        .includes('no es valido'));
    await soltar([['lista.txt', 'x@example.com\r\nb@example.com']]);
    await resultadoVisible(pagina);
    assert.equal(await pagina.$eval('.grupo', (g) => g.textContent), 'b@example.com, x@example.com');
  });

  test('avisa sin direcciones y con un archivo de otra clase', async () => {
    const pagina = await abrir();
    const otro = join(temporal, 'notas.doc');
    await writeFile(otro, 'x@example.com');
    for (const [archivo, esperado] of [
      [join(golden, 'list_no_at.input.txt'),
       '⚠ Messenger Add-in: No se encontraron direcciones en el archivo:\nlist_no_at.input.txt'],
      [otro, '⚠ Messenger Add-in: El archivo especificado no es valido...']]) {
      await (await pagina.$('#archivo')).uploadFile(archivo);
      await pagina.waitForSelector('.mensaje');
      assert.deepEqual(await textoMensajes(pagina), [esperado]);
      assert.equal(await pagina.$eval('#resultado', (r) => r.hidden), true);
      await pagina.click('.mensaje button');
    }
  });

  test('«Cancelar» detiene un archivo largo: ninguna descarga', async () => {
    const pagina = await abrir();
    const larga = join(temporal, 'larga.txt');
    await writeFile(larga, Array.from({ length: 300000 }, (_, i) => `p${i}@example.com\r\n`).join(''));
    // Pressed as soon as the bar first moves, whatever the machine's speed.
    await pagina.evaluate(() => {
      new MutationObserver((_, observador) => {
        observador.disconnect();
        document.getElementById('cancelar').click();
      }).observe(document.getElementById('avance'), { attributes: true, attributeFilter: ['value'] });
    });
    await (await pagina.$('#archivo')).uploadFile(larga);
    await pagina.waitForSelector('.mensaje');
    assert.match((await textoMensajes(pagina))[0], /Proceso cancelado/);
    assert.equal(await pagina.$eval('#resultado', (r) => r.hidden), true);
    assert.equal(await pagina.$eval('#zona-avance', (z) => z.hidden), true);
  });

  test('las opciones de la lista llegan al motor', async () => {
    const pagina = await abrir();
    await pagina.click('.opciones summary');
    await pagina.$eval('#separador', (campo) => { campo.value = '; '; });
    await pagina.$eval('#tamanoGrupo', (campo) => { campo.value = '50'; });
    await (await pagina.$('#archivo')).uploadFile(join(golden, 'list_97.input.txt'));
    await resultadoVisible(pagina);
    const grupos = await pagina.$$eval('.grupo', (g) => g.map((x) => x.textContent.split('; ').length));
    assert.deepEqual(grupos, [50, 47]);
  });

  test('se usa solo con el teclado', async () => {
    const pagina = await abrir();
    await pagina.keyboard.press('Tab');
    assert.equal(await pagina.evaluate(() => document.activeElement.id), 'archivo');
    const [selector] = await Promise.all([pagina.waitForFileChooser(),
                                          pagina.keyboard.press('Space')]);
    await selector.accept([join(golden, 'bulk_es.input.txt')]);
    // The message comes first, as the window's box does; closing it leads to the list.
    await pagina.waitForFunction(() => document.activeElement?.closest('.mensaje'));
    await pagina.keyboard.press('Enter');
    assert.equal(await pagina.evaluate(() => document.activeElement.id), 'descargar');
    await pagina.keyboard.press('Tab');
    await pagina.keyboard.press('Enter');
    const primero = await pagina.$eval('.grupo', (g) => g.textContent);
    await pagina.waitForFunction(() => document.querySelector('.copiar').textContent === 'Copiado');
    assert.equal(await pagina.evaluate(() => navigator.clipboard.readText()), primero);
    // F1, from wherever the focus is, unfolds the help and takes the focus to it.
    await pagina.keyboard.press('F1');
    assert.deepEqual(await pagina.evaluate(() => [document.querySelector('details.ayuda').open,
                                                  document.activeElement.tagName]),
                     [true, 'SUMMARY']);
  });

  test('axe no halla faltas en reposo ni con una lista', async () => {
    const pagina = await abrir();
    // axe is injected as a script of its own, which the page's policy would refuse.
    await pagina.setBypassCSP(true);
    await pagina.reload();
    const revisar = async () => {
      await pagina.addScriptTag({ path: axe });
      const r = await pagina.evaluate(() => axe.run());
      return r.violations.map((v) => `${v.id}: ${v.nodes.map((n) => n.target).join(' ')}`);
    };
    assert.deepEqual(await revisar(), []);
    await (await pagina.$('#archivo')).uploadFile(join(golden, 'list_97.input.txt'));
    await resultadoVisible(pagina);
    assert.deepEqual(await revisar(), []);
  });
});

describe('nada sale del equipo', { timeout: 120000 }, () => {
  test('ningún pedido fuera del origen durante una lista, y funciona sin conexión', async () => {
    const pagina = await abrir();
    await pagina.evaluate(async () => {
      await navigator.serviceWorker.ready;
      if (!navigator.serviceWorker.controller) {
        await new Promise((r) => navigator.serviceWorker.addEventListener('controllerchange', r));
      }
    });
    const pedidos = [];
    pagina.on('request', (p) => pedidos.push(p.url()));
    await pagina.setOfflineMode(true);
    await pagina.reload();
    await (await pagina.$('#archivo')).uploadFile(join(golden, 'bulk_en.input.txt'));
    await resultadoVisible(pagina);
    const ajenos = pedidos.filter((u) => !u.startsWith(servidor.url) && !u.startsWith('blob:'));
    assert.ok(pedidos.length > 0);
    assert.deepEqual(ajenos, []);
  });
});
