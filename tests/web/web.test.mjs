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
const formatos = join(raiz, 'tests/data/formatos');
const datos = join(raiz, 'tests/web/datos');
const corpus = join(process.env.TRALMIX_CORPUS ?? join(raiz, '../shared/corpus'), 'formats');
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

// Runs procesar in the page on several files ([ruta] read here, named by their last part), with
// the exclusion lists opciones.excluir given the same way.
function procesarVarios(pagina, rutas, opciones = {}) {
  const leer = (lista) => Promise.all(lista.map(async (r) =>
    [r.slice(r.lastIndexOf('/') + 1), (await readFile(r)).toString('base64')]));
  return Promise.all([leer(rutas), leer(opciones.excluir ?? [])]).then(([entradas, excluir]) =>
    pagina.evaluate(async (entradas, excluir, opciones) => {
      const { procesar } = await import('./tralmix.js');
      const archivo = ([nombre, base64]) =>
        new File([Uint8Array.from(atob(base64), (c) => c.charCodeAt(0))], nombre);
      const r = await procesar(entradas.map(archivo), { ...opciones, excluir: excluir.map(archivo) });
      return { ...r, lista: r.lista && new TextDecoder().decode(r.lista) };
    }, entradas, excluir, { ...opciones, excluir: undefined }));
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

  // The worker reads a file in blocks of several megabytes and hands the engine its pieces from
  // them. Pasted messages repeated past three blocks give the list of one copy, whatever piece
  // ends where; a Windows-1252 copy at the end sends the reading back to the start, and a last
  // address without a line end must keep its last byte.
  test('lee un archivo de varios bloques como uno de uno', async () => {
    const pagina = await abrir();
    const [utf8, cp1252] = await Promise.all(['bulk_unicode_case', 'bulk_es'].map(
      (n) => readFile(join(golden, `${n}.input.txt`)).then((b) => b.toString('base64'))));
    const r = await pagina.evaluate(async (utf8, cp1252) => {
      const { procesar } = await import('./tralmix.js');
      const bytes = (base64) => Uint8Array.from(atob(base64), (c) => c.charCodeAt(0));
      const [a, b] = [bytes(utf8), bytes(cp1252)];
      const fin = new TextEncoder().encode('ultima@ejemplo.com');
      const lista = async (partes) => {
        const r = await procesar(new File(partes, 'varios.txt'), { fecha: '2005-03-05' });
        return { tamano: partes.reduce((s, p) => s + p.length, 0), estado: r.estado,
                 lista: r.lista && btoa(String.fromCharCode(...r.lista)) };
      };
      return [await lista([a, b, fin]),
              await lista([...Array(Math.ceil((25 << 20) / a.length)).fill(a), b, fin])];
    }, utf8, cp1252);
    const [una, varias] = r;
    assert.ok(varias.tamano > 24 << 20);
    assert.deepEqual([varias.estado, una.estado], [0, 0]);
    assert.ok(Buffer.from(una.lista, 'base64').includes('ultima@ejemplo.com'));
    assert.equal(varias.lista, una.lista);
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

  test('da con varios archivos y listas de exclusión la lista y el informe del programa',
       async (t) => {
    const pagina = await abrir();
    const en = (carpeta, ...nombres) => nombres.map((n) => join(carpeta, n));
    for (const [nombre, entradas, excluir, presente] of [
      ['formatos',
       [...en(formatos, 'tb_export_vcf.vcf', 'tb_quote.csv', 'tb_bug_263304.ldif'),
        ...en(golden, 'bulk_es.input.txt', 'ctt_utf8.input.ctt', 'bulk_unicode_case.input.txt',
              'list_97.input.txt')],
       [join(datos, 'bajas.txt'), join(formatos, 'tb_export_csv.csv')], true],
      ['corpus',
       en(corpus, 'vcf/ezv_John_Doe_ANDROID.vcf', 'csv/rc_gmail.csv', 'eml/rc_mail0.eml',
          'mbox/rc_import.mbox', 'vcf/rc_utf-16_sample.vcf'),
       [join(datos, 'bajas-corpus.txt'), join(corpus, 'csv/rc_outlook.csv')],
       await readdir(corpus).then(() => true, () => false)],
    ]) {
      if (!presente) {
        t.diagnostic(`sin el corpus compartido (${corpus}): no se prueba «${nombre}»`);
        continue;
      }
      const r = await procesarVarios(pagina, entradas, { fecha: '2005-03-05', excluir });
      assert.equal(r.estado, 0, nombre);
      assert.equal(r.lista, await readFile(join(datos, `${nombre}.expected`), 'utf8'), nombre);
      assert.deepEqual(r.informe, JSON.parse(await readFile(join(datos, `${nombre}.informe.json`),
                                                            'utf8')), nombre);
    }
  });

  test('varios archivos del mismo nombre, exclusiones por dirección y por dominio, el informe',
       async () => {
    const pagina = await abrir();
    const casos = await pagina.evaluate(async () => {
      const { procesar } = await import('./tralmix.js');
      const f = (nombre, texto) => new File([texto], nombre);
      const vcard = 'BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Marta\r\nEMAIL:marta@example.net\r\n' +
          'END:VCARD\r\nBEGIN:VCARD\r\nVERSION:3.0\r\nFN:Ana\r\nEMAIL:ANA@example.com\r\n' +
          'END:VCARD\r\n';
      const corridas = [
        // Two "lista.txt" of different folders: both read.
        [[f('lista.txt', 'Luis@Example.org\r\nana@example.com\r\n'),
          f('lista.txt', 'ana@example.com\r\npepe@competencia.example\r\nrosa@example.com\r\n' +
                         'baja@example.com\r\n'),
          f('contactos.vcf', vcard)],
         { excluir: f('bajas.txt', 'BAJA@example.com\r\n@Competencia.example\r\n') }],
        [f('lista.txt', 'b@example.com\r\nA@example.com\r\n'), { resumen: true }],
        [f('lista.txt', 'b@example.com\r\nA@example.com\r\n'), {}],
        [f('lista.txt', 'b@example.com\r\n'), { excluir: [f('todo.txt', '*@example.com')] }],
      ];
      const r = [];
      for (const [archivos, opciones] of corridas) {
        const { estado, lista, informe, lineasDelResumen } =
            await procesar(archivos, { fecha: '2005-03-05', ...opciones });
        r.push({ estado, lista: lista && new TextDecoder().decode(lista), informe,
                 lineasDelResumen });
      }
      return r;
    });
    const archivo = (ruta, formato, direcciones) => ({ ruta, formato, direcciones });
    // What a run without the clean-up reports of it.
    const sinDepurar = { depurada: false, descartadas: 0, corregidas: 0, dudosas: 0 };
    assert.deepEqual(casos, [
      { estado: 0,
        lista: 'ana@example.com\r\n\r\nluis@example.org, marta@example.net, rosa@example.com\r\n\r\n\r\n',
        informe: { version: 1, ...sinDepurar,
                   archivos: [archivo('lista.txt', 'lista', 2), archivo('lista.txt', 'lista', 4),
                              archivo('contactos.vcf', 'vcard', 2)],
                   exclusiones: [archivo('bajas.txt', 'lista', 2)],
                   encontradas: 8, repetidas: 2, excluidas: 2, listadas: 4, grupos: 1, avisos: [] },
        lineasDelResumen: ['Resumen: 4 direcciones en 1 grupo; 2 repetidas y 2 excluidas quitadas'] },
      { estado: 0,
        lista: 'A@example.com\r\n\r\nb@example.com\r\n\r\n\r\n',
        informe: { version: 1, ...sinDepurar, archivos: [archivo('lista.txt', 'lista', 2)],
                   exclusiones: [],
                   encontradas: 2, repetidas: 0, excluidas: 0, listadas: 2, grupos: 1, avisos: [] },
        lineasDelResumen: ['Resumen: 2 direcciones en 1 grupo'] },
      { estado: 0, lista: 'A@example.com\r\n\r\nb@example.com\r\n\r\n\r\n', informe: null,
        lineasDelResumen: [] },
      { estado: 1, lista: null,
        informe: { version: 1, ...sinDepurar, archivos: [archivo('lista.txt', 'lista', 1)],
                   exclusiones: [archivo('todo.txt', 'lista', 1)],
                   encontradas: 1, repetidas: 0, excluidas: 1, listadas: 0, grupos: 0, avisos: [] },
        lineasDelResumen: ['Resumen: ninguna dirección en la lista; 1 excluida quitada'] },
    ]);
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
      const resultados = casos.map((o) => procesar(archivo, o));
      // Files, exclusion lists and switches of the wrong kind.
      for (const [archivos, o] of [[[], {}], [[archivo, 'b.txt'], {}],
                                   [archivo, { excluir: 'bajas.txt' }],
                                   [archivo, { depurar: 'sí' }], [archivo, { resumen: 1 }]]) {
        resultados.push(procesar(archivos, o));
      }
      return Promise.all(resultados.map((r) => r.then(
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
      'TypeError: archivos: la lista está vacía',
      'TypeError: archivos: se espera un File (o un Blob con nombre), o una lista de ellos',
      'TypeError: excluir: se espera un File (o un Blob con nombre), o una lista de ellos',
      'TypeError: depurar: se espera true o false',
      'TypeError: resumen: se espera true o false',
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

  test('los archivos soltados hacen una lista; sobre las exclusiones, se añaden a ellas',
       async () => {
    const pagina = await abrir();
    const soltar = (archivos, selector) => pagina.evaluate((archivos, selector) => {
      const datos = new DataTransfer();
      for (const [nombre, texto] of archivos) {
        datos.items.add(new File([texto], nombre));
      }
      document.querySelector(selector).dispatchEvent(new DragEvent('drop', {
        dataTransfer: datos, bubbles: true, cancelable: true }));
    }, archivos, selector);
    await soltar([['notas.doc', 'x@example.com']], 'body');
    await pagina.waitForSelector('.mensaje');
    assert.deepEqual(await textoMensajes(pagina),
                     ['⚠ Messenger Add-in: El archivo especificado no es valido...']);
    await soltar([['a.txt', 'x@example.com'], ['notas.doc', 'y@example.com']], 'body');
    await pagina.waitForFunction(() => document.querySelector('.mensaje-texto')?.textContent
        .endsWith('notas.doc'));
    assert.equal(await pagina.$eval('#resultado', (r) => r.hidden), true);
    await soltar([['bajas.txt', 'x@example.com']], '#exclusiones summary');
    assert.deepEqual(await pagina.$$eval('#lista-exclusiones li span', (l) => l.map((x) => x.textContent)),
                     ['bajas.txt']);
    await soltar([['lista.txt', 'x@example.com\r\nb@example.com'], ['otra.txt', 'c@example.com']],
                 'body');
    await resultadoVisible(pagina);
    assert.equal(await pagina.$eval('.grupo', (g) => g.textContent), 'b@example.com, c@example.com');
    assert.equal(await pagina.$eval('#ruta', (r) => r.value), 'lista.txt, otra.txt');
  });

  test('varios archivos elegidos y una lista de exclusión: el resumen junto a la lista',
       async () => {
    const pagina = await abrir();
    const bajas = join(temporal, 'bajas.txt');
    await writeFile(bajas, 'U002@example.com\r\n@example.net\r\n');
    await (await pagina.$('#excluir')).uploadFile(bajas);
    assert.equal(await pagina.$eval('#cuenta-exclusiones', (c) => c.textContent), '(1 archivo)');
    await (await pagina.$('#archivo')).uploadFile(join(golden, 'list_97.input.txt'),
                                                  join(golden, 'bulk_es.input.txt'));
    await resultadoVisible(pagina);
    assert.deepEqual(await pagina.$$eval('#informe p', (l) => l.map((p) => p.textContent)),
                     ['Resumen: 103 direcciones en 3 grupos; 1 repetida y 3 excluidas quitadas',
                      '2 entradas no parecen direcciones: active «Depurar la lista»',
                      'Aviso: equipo@example.com: cuenta de función (no es de una persona)']);
    const lista = await pagina.$$eval('.grupo', (g) => g.map((x) => x.textContent).join(', '));
    assert.ok(lista.includes('carlos@example.com') && lista.includes('u001@example.com'));
    assert.ok(!lista.includes('u002@') && !lista.includes('example.net'));
    // A run without a report shows the page's own count, and no summary.
    await (await pagina.$('#lista-exclusiones button')).click();
    await (await pagina.$('#archivo')).uploadFile(join(golden, 'list_97.input.txt'));
    await pagina.waitForFunction(() => document.getElementById('resumen').textContent
        .startsWith('(97 direcciones'));
    assert.equal(await pagina.$eval('#informe', (i) => i.hidden), true);
  });

  test('«Recordar en este navegador» guarda las exclusiones al recargar y las olvida', async () => {
    const pagina = await abrir();
    const bajas = join(temporal, 'recordadas.txt');
    await writeFile(bajas, 'u001@example.com\r\n');
    await (await pagina.$('#excluir')).uploadFile(bajas);
    await pagina.click('#recordar');
    const nota = (comienzo) => pagina.waitForFunction((comienzo) =>
      document.getElementById('nota-recordar').textContent.startsWith(comienzo), {}, comienzo);
    await nota('Guardados en este navegador');
    await pagina.reload();
    await pagina.waitForSelector('#lista-exclusiones li');
    assert.deepEqual(await pagina.evaluate(() => [
      [...document.querySelectorAll('#lista-exclusiones li span')].map((s) => s.textContent),
      document.getElementById('recordar').checked, document.getElementById('exclusiones').open]),
                     [['recordadas.txt'], true, true]);
    // What was kept is the file itself: a run leaves its address out.
    await (await pagina.$('#archivo')).uploadFile(join(golden, 'list_97.input.txt'));
    await resultadoVisible(pagina);
    assert.match(await pagina.$eval('#informe', (i) => i.textContent), /1 excluida quitada/);
    await pagina.click('#recordar');
    await nota('Este navegador ya no guarda');
    await pagina.reload();
    // The browser's own storage holds nothing of them any more.
    assert.equal(await pagina.evaluate(() => new Promise((resolver, rechazar) => {
      const pedido = indexedDB.open('tralmix', 1);
      pedido.onerror = () => rechazar(pedido.error);
      pedido.onsuccess = () => {
        const leer = pedido.result.transaction('exclusiones').objectStore('exclusiones')
            .get('archivos');
        leer.onsuccess = () => { pedido.result.close(); resolver(leer.result ?? null); };
      };
    })), null);
    assert.deepEqual(await pagina.evaluate(() => [
      document.querySelectorAll('#lista-exclusiones li').length,
      document.getElementById('recordar').checked]), [0, false]);
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
    // The chooser is caught only once the browser intercepts it, which waitForFileChooser asks
    // for without waiting: the same request again on the same session returns after it, so the
    // key cannot open the chooser before (otherwise now and then the wait never ends).
    const esperaSelector = pagina.waitForFileChooser();
    await pagina._client().send('Page.setInterceptFileChooserDialog', { enabled: true });
    await pagina.keyboard.press('Space');
    const selector = await esperaSelector;
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

  test('Tab alcanza cada control de las opciones y de las exclusiones', async () => {
    const pagina = await abrir();
    const bajas = join(temporal, 'tab.txt');
    await writeFile(bajas, 'x@example.com');
    await (await pagina.$('#excluir')).uploadFile(bajas);
    await pagina.click('.opciones summary');
    const vistos = [];
    for (let i = 0; i < 20; ++i) {
      await pagina.keyboard.press('Tab');
      vistos.push(await pagina.evaluate(() => document.activeElement.id ||
                                              document.activeElement.textContent.trim()));
    }
    const orden = ['archivo', 'Opciones de la lista', 'tamanoGrupo', 'separador', 'depurar',
                   'Direcciones que no deben recibir (1 archivo)', 'excluir', 'Quitar', 'recordar',
                   'Ayuda'];
    // Tab goes round the page: its round from the file's button.
    const ronda = vistos.filter((v) => orden.includes(v));
    const desde = ronda.indexOf('archivo');
    assert.deepEqual([...ronda.slice(desde), ...ronda.slice(0, desde)].slice(0, orden.length), orden);
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
    await (await pagina.$('#excluir')).uploadFile(join(golden, 'list_lf.input.txt'));
    await (await pagina.$('#archivo')).uploadFile(join(golden, 'list_97.input.txt'));
    await resultadoVisible(pagina);
    await pagina.click('details.ayuda summary');
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
