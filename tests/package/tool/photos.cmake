# A folder of phone and camera formats written by Debian's encoders packs converted: the
# listing keeps each file's name and says what it was converted from, captions take each
# picture's metadata through the folder's Defaults, and a damaged file stops the pack with one
# line naming it, unless --skip-bad leaves it out.
# Run with -DTOOL=<vitrine> -DWORK=<scratch folder>.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/photos)
foreach(program convert cwebp heif-enc cjxl exiv2)
  find_program(found_${program} ${program})
  if(NOT found_${program})
    message(STATUS "${program} is not installed (scripts/setup-debian.sh): the test is skipped")
    return()
  endif()
endforeach()
function(run)
  execute_process(COMMAND ${ARGV} WORKING_DIRECTORY ${WORK}/photos RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "${ARGV}: ${err}")
  endif()
endfunction()
run(convert -size 96x64 gradient:orange-navy PNG24:source.png)
run(cwebp -quiet source.png -o a.webp)
run(heif-enc -q 80 source.png -o b.heic)
run(heif-enc -A -q 80 source.png -o c.avif)
run(cjxl source.png d.jxl)
run(convert source.png e.jpg)
run(exiv2 "-Mset Exif.Photo.DateTimeOriginal 2019:07:14 15:42:07" e.jpg)
file(REMOVE ${WORK}/photos/source.png)
file(WRITE ${WORK}/photos/show.json "{\"Defaults\": {\"CaptionVisible\": true, \"Caption\": \"{file} {date}\"}}")

execute_process(COMMAND ${TOOL} pack ${WORK}/photos -o ${WORK}/photos.pkg RESULT_VARIABLE rc ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "pack failed: ${err}")
endif()
execute_process(COMMAND ${TOOL} info ${WORK}/photos.pkg OUTPUT_VARIABLE listing)
foreach(expected "picture  a.webp\n +[0-9,]+ bytes, JPEG, 96x64, converted from WebP 96x64"
                 "picture  b.heic\n +[0-9,]+ bytes, JPEG, 96x64, converted from HEIC 96x64"
                 "picture  c.avif\n +[0-9,]+ bytes, JPEG, 96x64, converted from AVIF 96x64"
                 "picture  d.jxl\n +[0-9,]+ bytes, JPEG, 96x64, converted from JPEG XL 96x64"
                 "picture  e.jpg\n +[0-9,]+ bytes, JPEG, 96x64\n +caption: \"e 14 July 2019\""
                 "caption: \"a \"")
  if(NOT listing MATCHES "${expected}")
    message(SEND_ERROR "the listing does not match \"${expected}\":\n${listing}")
  endif()
endforeach()

# Damaged: cut to half its length.
file(SIZE ${WORK}/photos/b.heic size)
math(EXPR half "${size} / 2")
file(RENAME ${WORK}/photos/b.heic ${WORK}/whole.heic)
execute_process(COMMAND head -c ${half} ${WORK}/whole.heic OUTPUT_FILE ${WORK}/photos/b.heic)
execute_process(COMMAND ${TOOL} pack ${WORK}/photos -o ${WORK}/damaged.pkg RESULT_VARIABLE rc ERROR_VARIABLE err)
string(REGEX MATCHALL "\n" lines "${err}")
list(LENGTH lines lineCount)
if(rc EQUAL 0 OR EXISTS ${WORK}/damaged.pkg OR NOT err MATCHES "Pictures\\[1\\]\\.File: b\\.heic does not decode" OR
   NOT lineCount EQUAL 1)
  message(SEND_ERROR "a damaged HEIC: ${rc} ${err}")
endif()
execute_process(COMMAND ${TOOL} pack ${WORK}/photos -o ${WORK}/damaged.pkg --skip-bad RESULT_VARIABLE rc ERROR_VARIABLE err)
execute_process(COMMAND ${TOOL} info ${WORK}/damaged.pkg --json OUTPUT_VARIABLE info)
string(JSON count LENGTH "${info}" Pictures)
if(NOT rc EQUAL 0 OR NOT count EQUAL 4 OR NOT err MATCHES "left out Pictures\\[1\\]\\.File: b\\.heic")
  message(SEND_ERROR "--skip-bad: ${rc}, ${count} items, ${err}")
endif()
