# The Debian packages that cpack makes of the two components
# (scripts/package.sh): "tessaline" of the reader component and
# "tessaline-corpus-poetry", architecture all, of the corpus component.
# Both lie under /usr as cmake --install lays them out; each has its
# copyright file and changelog in /usr/share/doc/PACKAGE, which only the
# packages get (EXCLUDE_FROM_ALL: a plain cmake --install leaves them out).
# The corpus package is made when TESSALINE_POETRY_PACKAGE names the npm
# package that the corpus was built from: its version and its LICENSE go
# into the corpus package's copyright file.
set(TESSALINE_MAINTAINER "Tessaline developers <maintainers@tessaline.example>" CACHE STRING
    "The Maintainer field of the Debian packages")
set(TESSALINE_POETRY_PACKAGE "" CACHE PATH
    "The unpacked npm package chinese-poetry that TESSALINE_CORPUS_DIR was built from (scripts/package.sh sets it)")

set(deb_version "${PROJECT_VERSION}-1")
# Honours SOURCE_DATE_EPOCH.
string(TIMESTAMP deb_date "%a, %d %b %Y %H:%M:%S +0000" UTC)

# /usr/share/doc/PACKAGE of COMPONENT's package: COPYRIGHT as its copyright
# file and a changelog of one entry for this version.
function(tessaline_deb_docs component package copyright)
  set(folder "${CMAKE_CURRENT_BINARY_DIR}/debian/${package}")
  set(DEB_PACKAGE ${package})
  set(DEB_VERSION ${deb_version})
  set(DEB_MAINTAINER "${TESSALINE_MAINTAINER}")
  set(DEB_DATE "${deb_date}")
  configure_file(debian/changelog.in "${folder}/changelog.Debian" @ONLY)
  execute_process(COMMAND gzip -9nc "${folder}/changelog.Debian" OUTPUT_FILE "${folder}/changelog.Debian.gz"
                  RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip could not compress ${folder}/changelog.Debian")
  endif()
  configure_file("${copyright}" "${folder}/copyright" COPYONLY)
  install(FILES "${folder}/copyright" "${folder}/changelog.Debian.gz"
          DESTINATION "${CMAKE_INSTALL_DATADIR}/doc/${package}" COMPONENT ${component} EXCLUDE_FROM_ALL)
endfunction()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tessaline)
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_CONTACT "${TESSALINE_MAINTAINER}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${TESSALINE_HOMEPAGE}")
set(CPACK_PACKAGE_DIRECTORY "${PROJECT_BINARY_DIR}/packages")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SECTION education)
# gzip: xz takes six minutes on two cores over the corpus's 600 MB for a
# package a sixth smaller, and lintian refuses zstd.
set(CPACK_DEBIAN_COMPRESSION_TYPE gzip)
set(CPACK_COMPONENTS_ALL reader)

set(CPACK_DEBIAN_READER_PACKAGE_NAME tessaline)
set(CPACK_DEBIAN_READER_PACKAGE_SHLIBDEPS ON)
# What the libraries do not name: the display plugins and the SQLite driver
# of Qt SQL (bookmarks and history), both loaded as plugins.
set(CPACK_DEBIAN_READER_PACKAGE_DEPENDS "qt6-qpa-plugins, libqt6sql6-sqlite")
set(CPACK_DEBIAN_READER_PACKAGE_RECOMMENDS "tessaline-corpus-poetry, fonts-noto-cjk")
set(CPACK_COMPONENT_READER_DESCRIPTION "reader and full-text search of classical Chinese texts
Tessaline shows a corpus of classical Chinese texts by category, book,
volume and page, with a Japanese user interface, and searches its full
text: phrases, wildcards, and/or, variant characters treated as one (a
keyword typed in Japanese shinjitai finds the traditional forms), and
searches limited to the main text or to the annotations.

This package holds the desktop reader tessaline and the command-line tool
tessaline-cli, which searches, shows pages and builds corpora without a
window. The default corpus is in the package tessaline-corpus-poetry.")
tessaline_deb_docs(reader tessaline "${CMAKE_CURRENT_SOURCE_DIR}/debian/copyright")

if(TESSALINE_POETRY_PACKAGE)
  foreach(file package.json LICENSE)
    if(NOT EXISTS "${TESSALINE_POETRY_PACKAGE}/${file}")
      message(FATAL_ERROR "TESSALINE_POETRY_PACKAGE: no ${file} in ${TESSALINE_POETRY_PACKAGE}")
    endif()
  endforeach()
  file(READ "${TESSALINE_POETRY_PACKAGE}/package.json" json)
  string(JSON POETRY_VERSION GET "${json}" version)
  file(READ "${TESSALINE_POETRY_PACKAGE}/LICENSE" license)
  set(POETRY_COPYRIGHT "see the licence text below")
  if(license MATCHES "Copyright \\([cC]\\) ([^\r\n]+)")
    set(POETRY_COPYRIGHT "${CMAKE_MATCH_1}")
  endif()
  # The licence as the text of a copyright file's field: every line
  # indented by a space, an empty line as " .".
  string(REPLACE "\r" "" license "${license}")
  string(STRIP "${license}" license)
  string(REGEX REPLACE "[ \t]*\n" "\n " license " ${license}")
  string(REGEX REPLACE "\n \n" "\n .\n" license "${license}")
  string(REGEX REPLACE "\n \n" "\n .\n" POETRY_LICENSE "${license}")
  configure_file(debian/corpus-copyright.in "${CMAKE_CURRENT_BINARY_DIR}/debian/corpus-copyright" @ONLY)

  list(APPEND CPACK_COMPONENTS_ALL corpus)
  set(CPACK_DEBIAN_CORPUS_PACKAGE_NAME tessaline-corpus-poetry)
  set(CPACK_DEBIAN_CORPUS_PACKAGE_ARCHITECTURE all)
  set(CPACK_DEBIAN_CORPUS_PACKAGE_ENHANCES tessaline)
  set(CPACK_COMPONENT_CORPUS_DESCRIPTION "classical Chinese poetry corpus for the Tessaline reader
The default corpus of the Tessaline reader and of tessaline-cli, built from
version ${POETRY_VERSION} of the npm package chinese-poetry: the Chuci, the Quan Tang
shi, poetry and ci of the Five Dynasties, the Quan Song shi, Song ci and Yuan
qu, the Shijing, the Analects and the Four Books, in pages of about one
screen each, with the variant-character table that the search uses.")
  tessaline_deb_docs(corpus tessaline-corpus-poetry "${CMAKE_CURRENT_BINARY_DIR}/debian/corpus-copyright")
endif()

include(CPack)
