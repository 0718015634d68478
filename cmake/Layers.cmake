# The layers of the program: each folder, and the folders below it whose
# headers its files may include and whose libraries it links. One table for
# both: tessaline_layer() links by it, and the layer check (CheckLayers.cmake,
# a CTest test) refuses any other include. Nothing may reach upwards.
#
#   platform   files, mappings, the atomic writer, the staging folder and scratch files
#   text       code conversion and the variant table
#   corpus     page store and its writer, catalogue, markup, hit marking, display page
#   index      index files, postings, search, the index writer, the corpus file names
#   builder    source folder -> corpus (source tree, page builder, corpus writer, variant sources)
#   import     the poetry collection -> a source folder
#   model      the reader's model without Qt: contents tree, rows, checks, forms, navigation
#   cli        tessaline-cli
#   resources  the reader's pictures and command numbers (Qt from here on)
#   controls   small widgets
#   panel      the search and contents panel
#   shelf      bookmarks and search history in the user's database (Qt SQL)
#   splash     splash, About box, exit companion
#   frame      application, main frame, page view, toolbar, splitter
set(TESSALINE_LAYERS platform text corpus index builder import model cli resources controls panel shelf splash frame)

set(TESSALINE_USES_platform "")
set(TESSALINE_USES_text platform)
set(TESSALINE_USES_corpus platform text)
set(TESSALINE_USES_index platform text corpus)
set(TESSALINE_USES_builder platform text corpus index)
set(TESSALINE_USES_import platform text)
set(TESSALINE_USES_model platform text corpus index)
set(TESSALINE_USES_cli platform text corpus index builder import model)
set(TESSALINE_USES_resources "")
set(TESSALINE_USES_controls resources)
set(TESSALINE_USES_panel platform text corpus index model resources controls)
set(TESSALINE_USES_shelf platform text corpus index model resources controls panel)
set(TESSALINE_USES_splash resources controls)
set(TESSALINE_USES_frame platform text corpus index model resources controls panel shelf splash)
# Programs over the layers; tests may use any of them.
set(TESSALINE_USES_bench platform text corpus index builder import model cli)
set(TESSALINE_USES_fuzz platform text corpus index builder import model)
set(TESSALINE_USES_tools "")
# Folders inside a folder above with a row of their own; their files keep
# to that row, not their parent's. The shelf's benchmark needs Qt, the
# other benchmarks stay without it.
set(TESSALINE_NESTED bench/shelf)
set(TESSALINE_USES_bench/shelf platform text corpus index model resources controls panel shelf)

# Folders that build without Qt: their files may not include a Qt header.
set(TESSALINE_QT_FREE platform text corpus index builder import model cli bench fuzz)

# Makes the static library tessaline_<folder> of the calling folder from its
# sources, linked to the libraries of the folders it may use.
function(tessaline_layer folder)
  add_library(tessaline_${folder} STATIC ${ARGN})
  target_include_directories(tessaline_${folder} PUBLIC ${PROJECT_SOURCE_DIR})
  foreach(used ${TESSALINE_USES_${folder}})
    if(TARGET tessaline_${used})
      target_link_libraries(tessaline_${folder} PUBLIC tessaline_${used})
    endif()
  endforeach()
endfunction()
