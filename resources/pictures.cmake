# The program's pictures, compiled into velmaro_gui under ":/img/".
# Included from src/shell/CMakeLists.txt; see README.md for what each is.
set(VELMARO_PICTURES
  allega.png avanti.png avanzate.png cartella.png controlla.png elimina.png
  email.png esci.png excel.png guida.png indietro.png info.png nuovo.png
  ottimizza.png pdf.png primo.png salva.png trova.png ultimo.png web.png word.png
  rubrica.png gruppi.png messaggi.png calendario.png invia.png storico.png
  escludi.png riammetti.png esclusi.png
  esporta.png copia.png
  avvio_rubrica.png avvio_gruppi.png avvio_messaggi.png avvio_invia.png
  logo.png logo_piccolo.png sfondo.png striscia.gif
  splash_sfondo.png splash_sprite.png
)
list(TRANSFORM VELMARO_PICTURES PREPEND "${CMAKE_CURRENT_LIST_DIR}/img/")
