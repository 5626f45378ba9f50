# Checks that libOrv.so does not load FFmpeg's libraries when it is loaded: they bring a dozen
# more (hardware video, OpenCL, OpenMP) to every start, and are opened on first use instead.
# Run as: cmake -DLIB=<libOrv.so> -DOBJDUMP=<objdump> -P orv-needed.cmake
execute_process(COMMAND ${OBJDUMP} -p ${LIB} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} could not read ${LIB}")
endif()
string(REGEX MATCHALL "NEEDED +[^\n]+" needed "${headers}")
if(NOT needed)
  message(FATAL_ERROR "${LIB}: no NEEDED entries read")
endif()
foreach(entry IN LISTS needed)
  if(entry MATCHES "libav|libsw")
    message(FATAL_ERROR "${LIB} loads an FFmpeg library at start: ${entry}")
  endif()
endforeach()
