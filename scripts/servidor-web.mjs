// A small static server for the browser edition, on 127.0.0.1 only: the site's files with their
// types (.wasm as application/wasm, which the engine's streaming compile asks for), nothing else.
//   node scripts/servidor-web.mjs CARPETA [PUERTO]
import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import { extname, join, normalize, sep } from 'node:path';
import { pathToFileURL } from 'node:url';

const kTipos = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
  '.webmanifest': 'application/manifest+json',
  '.txt': 'text/plain; charset=utf-8',
};

export function servir(carpeta, puerto = 0) {
  const raiz = normalize(carpeta + sep);
  const servidor = createServer(async (pedido, respuesta) => {
    let ruta = decodeURIComponent(new URL(pedido.url, 'http://x').pathname);
    if (ruta.endsWith('/')) {
      ruta += 'index.html';
    }
    const archivo = normalize(join(raiz, ruta));
    if (!archivo.startsWith(raiz) || (pedido.method !== 'GET' && pedido.method !== 'HEAD')) {
      respuesta.writeHead(404).end();
      return;
    }
    try {
      const cuerpo = await readFile(archivo);
      respuesta.writeHead(200, {
        'Content-Type': kTipos[extname(archivo)] ?? 'application/octet-stream',
        'Cache-Control': 'no-cache',
      });
      respuesta.end(pedido.method === 'HEAD' ? undefined : cuerpo);
    } catch {
      respuesta.writeHead(404).end();
    }
  });
  return new Promise((resolver, rechazar) => {
    servidor.once('error', rechazar);
    servidor.listen(puerto, '127.0.0.1', () => {
      resolver({
        url: `http://127.0.0.1:${servidor.address().port}/`,
        cerrar: () => new Promise((r) => servidor.close(r)),
      });
    });
  });
}

if (import.meta.url === pathToFileURL(process.argv[1]).href) {
  const [carpeta, puerto] = process.argv.slice(2);
  const { url } = await servir(carpeta ?? '.', Number(puerto ?? 8080));
  console.log(url);
}
