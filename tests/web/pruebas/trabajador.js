// Runs the engine's table of clean-up cases in this worker and posts the report, or what failed.
importScripts('pruebas.js');
crearPruebas()
  .then((modulo) => postMessage(modulo.ccall('tralmix_probar_depuracion', 'string', [], [])))
  .catch((e) => postMessage(`0\nel módulo falló: ${e}`));
