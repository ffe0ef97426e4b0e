# Friendly manifest forms pack to the same bytes as their raw forms; bad manifests give one line
# naming the manifest path at fault and write nothing.
# Run with -DTOOL=<vitrine> -DSOURCE=<this folder> -DWORK=<scratch folder>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

foreach(form friendly raw)
  execute_process(COMMAND ${TOOL} pack ${SOURCE}/${form}.json -o ${WORK}/${form}.scr RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pack ${form}.json failed: ${err}")
  endif()
  execute_process(COMMAND ${TOOL} info ${WORK}/${form}.scr --json OUTPUT_VARIABLE info_${form} RESULT_VARIABLE rc)
endforeach()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/friendly.scr ${WORK}/raw.scr RESULT_VARIABLE differ)
if(differ)
  message(SEND_ERROR "the friendly manifest packs to other bytes than the raw one")
endif()
if(NOT info_friendly STREQUAL info_raw)
  message(SEND_ERROR "info --json differs:\n${info_friendly}\n---\n${info_raw}")
endif()

# Each bad manifest with the path its one line of error must name.
set(cases
  "wrong-type|Pictures[0].Caption: must be a string"
  "unknown-key|Project.SaverNmae: unknown project key"
  "colour-depth|Project.ColourDepth: must be 16 or 32"
  "missing-file|Pictures[0].File: cannot read"
  "short-colour|Pictures[3].CaptionFont.Color: \"#12345\" is not a colour"
  "long-caption|Pictures[0].Caption: 100 characters"
  "unknown-transition|Pictures[0].Transitions[1]: \"No such wipe\" is not a transition"
  "transition-index|Pictures[0].Transitions: transition 200 is not in the catalogue"
  "no-picture-type|Pictures[0].File: ../clip.avi has no picture type the player can decode"
  "undecodable|Pictures[0].File: ../item0.dat does not decode as PNG"
  "font-size|Pictures[0].CaptionFont.Size: must be a number"
  "euro|Pictures[0].Caption: holds the euro sign")
foreach(entry IN LISTS cases)
  string(FIND "${entry}" "|" bar)
  string(SUBSTRING "${entry}" 0 ${bar} name)
  math(EXPR start "${bar} + 1")
  string(SUBSTRING "${entry}" ${start} -1 expected)
  set(out ${WORK}/${name}.scr)
  execute_process(COMMAND ${TOOL} pack ${SOURCE}/bad/${name}.json -o ${out} RESULT_VARIABLE rc ERROR_VARIABLE err)
  string(STRIP "${err}" err)
  string(FIND "${err}" "vitrine pack: ${expected}" at)
  string(FIND "${err}" "\n" newline)
  if(NOT rc EQUAL 1 OR NOT at EQUAL 0 OR NOT newline EQUAL -1)
    message(SEND_ERROR "${name}.json: status ${rc}, '${err}', expected one line 'vitrine pack: ${expected}...'")
  endif()
  if(EXISTS ${out})
    message(SEND_ERROR "${name}.json left ${out} behind")
  endif()
endforeach()

# Raw keys get past pack's checks; info then warns of what the player would meet.
execute_process(COMMAND ${TOOL} pack ${SOURCE}/warnings.json -o ${WORK}/warnings.scr RESULT_VARIABLE rc ERROR_VARIABLE err)
execute_process(COMMAND ${TOOL} info ${WORK}/warnings.scr OUTPUT_VARIABLE listing RESULT_VARIABLE rc)
foreach(expected
    "Warnings, version 1.0"
    "1 music file, shown at 32 bits per pixel"
    "transitions: Circle\\(Center\\), #200 \\(at random\\)"
    "item 1 \\(item0.dat\\): transition 200 is not in the catalogue"
    "item 2 \\(item0.dat\\): its data does not decode as PNG"
    "music 1 \\(gone.mp3\\) is missing")
  if(NOT listing MATCHES "${expected}")
    message(SEND_ERROR "the listing lacks '${expected}':\n${listing}")
  endif()
endforeach()
