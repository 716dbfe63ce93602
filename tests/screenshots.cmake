# Runs the desktop program's screenshot tour (pavolant-tour) on the example road and
# checks that every picture was written as a PNG. Called by CTest with PROGRAMM,
# BEISPIEL and ORDNER.
file(REMOVE_RECURSE "${ORDNER}")
file(MAKE_DIRECTORY "${ORDNER}/bilder" "${ORDNER}/arbeit")
execute_process(
  COMMAND "${PROGRAMM}" "${ORDNER}/bilder" "${BEISPIEL}"
  WORKING_DIRECTORY "${ORDNER}/arbeit"
  RESULT_VARIABLE ergebnis
  ERROR_VARIABLE fehler)
if(NOT ergebnis EQUAL 0)
  message(FATAL_ERROR "the screenshot tour ended with ${ergebnis}:\n${fehler}")
endif()
# preview-3d.png and preview-terrain.png need OpenGL, which the offscreen platform here does not have.
foreach(name main-fresh main-example main-after-go profile-distorted profile-undistorted listing preview-plan
             preview-plan-drag preview-terrain-plan points-table terrain-plot unsaved-question error-field)
  set(datei "${ORDNER}/bilder/${name}.png")
  if(NOT EXISTS "${datei}")
    message(FATAL_ERROR "${name}.png was not written")
  endif()
  file(READ "${datei}" kopf LIMIT 8 HEX)
  if(NOT kopf STREQUAL "89504e470d0a1a0a")
    message(FATAL_ERROR "${name}.png is no PNG")
  endif()
endforeach()
# The tour must leave the working directory as it found it: no settings file.
file(GLOB uebrig "${ORDNER}/arbeit/*")
if(uebrig)
  message(FATAL_ERROR "the tour left files behind: ${uebrig}")
endif()
