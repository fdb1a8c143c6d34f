// Keeps the page's own files so that it works offline once loaded. The cache's name changes with
// every build of the site (the build writes it below), which replaces the old files at once.
const kCache = 'tralmix-@SELLO@';
const kArchivos = ['./', 'index.html', 'estilo.css', 'pagina.js', 'tralmix.js', 'trabajador.js',
                   'motor.js', 'motor.wasm', 'logo.svg', 'icono.svg', 'icono.png', 'ayuda.svg',
                   'manifiesto.webmanifest'];

self.addEventListener('install', (evento) => {
  evento.waitUntil(caches.open(kCache).then((c) => c.addAll(kArchivos)).then(() => self.skipWaiting()));
});

self.addEventListener('activate', (evento) => {
  evento.waitUntil(caches.keys()
      .then((nombres) => Promise.all(nombres.filter((n) => n !== kCache).map((n) => caches.delete(n))))
      .then(() => self.clients.claim()));
});

// The page's files from the cache first: after loading, nothing goes to the network.
self.addEventListener('fetch', (evento) => {
  if (evento.request.method !== 'GET' || new URL(evento.request.url).origin !== location.origin) {
    return;
  }
  evento.respondWith(caches.match(evento.request, { ignoreSearch: true })
      .then((guardado) => guardado ?? fetch(evento.request)));
});
