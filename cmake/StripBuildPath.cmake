# cmake -DFILE=velmora.js -DFROM=/abs/build/dir/ -P StripBuildPath.cmake: drops every FROM in FILE,
# leaving the names relative to the folder the page is served from.
file(READ ${FILE} text)
string(REPLACE "${FROM}" "" text "${text}")
file(WRITE ${FILE} "${text}")
