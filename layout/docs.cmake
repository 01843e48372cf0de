# The product files: the shared document (typography table and the chart of
# every variant and set), the user guide and the small page the pointer file
# opens. Drawn as SVG by tools/kbddocs.py, converted by rsvg-convert, joined by
# pdfunite; SOURCE_DATE_EPOCH keeps the PDF dates fixed, so the bytes only
# change with the sources. PNG previews of every page go to docs/preview.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)
find_program(PDFUNITE pdfunite REQUIRED)
find_program(PDFTOPPM pdftoppm REQUIRED)

set(DOCS ${CMAKE_CURRENT_BINARY_DIR}/docs)
set(SHARED_DOC ${DOCS}/shared.pdf)
set(USER_GUIDE "${DOCS}/Kreska Polish.pdf")
set(POINTER_TARGET ${DOCS}/kreska.html)
set(DOCS_TOOLS ${CMAKE_SOURCE_DIR}/tools/kbddocs.py ${CMAKE_SOURCE_DIR}/tools/kbdsrc.py
               ${CMAKE_SOURCE_DIR}/tools/svg2pdf.sh ${CMAKE_SOURCE_DIR}/tools/pdffix.py)

add_custom_command(
  OUTPUT ${SHARED_DOC}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/kbddocs.py charts ${KBD_SOURCE} ${DOCS}/shared
  COMMAND sh ${CMAKE_SOURCE_DIR}/tools/svg2pdf.sh ${DOCS}/shared ${SHARED_DOC} ${DOCS}/preview/shared
  DEPENDS ${KBD_SOURCE} ${DOCS_TOOLS}
  COMMENT "Drawing the shared document (typography and charts)")
add_custom_command(
  OUTPUT ${USER_GUIDE}
  COMMAND ${Python3_EXECUTABLE} ${CMAKE_SOURCE_DIR}/tools/kbddocs.py guide ${KBD_SOURCE}
          ${CMAKE_CURRENT_SOURCE_DIR}/docs/guide.txt ${DOCS}/guide
  COMMAND sh ${CMAKE_SOURCE_DIR}/tools/svg2pdf.sh ${DOCS}/guide ${USER_GUIDE} ${DOCS}/preview/guide
  DEPENDS ${KBD_SOURCE} ${CMAKE_CURRENT_SOURCE_DIR}/docs/guide.txt ${DOCS_TOOLS}
  COMMENT "Drawing the user guide")
add_custom_command(
  OUTPUT ${POINTER_TARGET}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_CURRENT_SOURCE_DIR}/docs/kreska.html ${POINTER_TARGET}
  DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/docs/kreska.html)
set(PRODUCT_FILES ${SHARED_DOC} ${USER_GUIDE} ${POINTER_TARGET})
