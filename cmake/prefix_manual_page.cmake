# Writes a program's manual page as it is installed: PREFIX goes in front of
# the name of every program of the suite where the page uses it as a
# command: the title line, the NAME line, bold command names, commands at
# the start of an example line or after a pipe, and the cross references.
#
#   cmake -DSOURCE=man/tail.1 -DPAGE=out/x-tail.1 -DPREFIX=x- \
#         -DPROGRAMS=ordly,dupro,... -P prefix_manual_page.cmake
file(READ "${SOURCE}" text)
if(NOT PREFIX STREQUAL "")
  string(REPLACE "," ";" programs "${PROGRAMS}")
  string(TOUPPER "${PREFIX}" title_prefix)
  foreach(program IN LISTS programs)
    string(TOUPPER "${program}" title)
    set(named "${PREFIX}${program}")
    string(REPLACE ".TH ${title} " ".TH ${title_prefix}${title} " text "${text}")
    string(REPLACE "\n${program} " "\n${named} " text "${text}")
    string(REPLACE "\n.B ${program}\n" "\n.B ${named}\n" text "${text}")
    string(REPLACE "\n.BR ${program} (1)" "\n.BR ${named} (1)" text "${text}")
    string(REPLACE "| ${program} " "| ${named} " text "${text}")
  endforeach()
endif()
file(WRITE "${PAGE}" "${text}")
