# cmake -DFILE=<file> -DLIMIT=<bytes> -P check-size.cmake
# Fails when the file is larger than the limit.
file(SIZE "${FILE}" size)
if(size GREATER LIMIT)
  message(FATAL_ERROR "${FILE}: ${size} bytes, more than ${LIMIT}")
endif()
message("${FILE}: ${size} bytes, at most ${LIMIT}")
