# Writes the service worker with a stamp of the site's files, so that a new build replaces what
# browsers keep. cmake -DENTRADA=servicio.js -DSITIO=dir -DARCHIVOS="a;b" -P sellar.cmake
set(juntos "")
foreach(archivo IN LISTS ARCHIVOS)
    file(SHA256 ${SITIO}/${archivo} suma)
    string(APPEND juntos ${suma})
endforeach()
string(SHA256 sello "${juntos}")
string(SUBSTRING ${sello} 0 16 sello)
file(READ ${ENTRADA} texto)
string(REPLACE "@SELLO@" ${sello} texto "${texto}")
file(WRITE ${SITIO}/servicio.js "${texto}")
