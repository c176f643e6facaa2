# The UNO C++ headers are generated from the installed type libraries, not shipped.
# We generate the whole set once per build folder (about a second) so that no one
# has to keep a list of types in step with the code.
set(LO_PROGRAM_DIR "/usr/lib/libreoffice/program" CACHE PATH "LibreOffice program folder")
set(LO_SDK_DIR "/usr/lib/libreoffice/sdk" CACHE PATH "LibreOffice SDK folder")
set(LO_UNO_INCLUDE "${CMAKE_BINARY_DIR}/uno-include")

find_program(CPPUMAKER cppumaker HINTS "${LO_SDK_DIR}/bin" REQUIRED)
if(NOT EXISTS "${LO_UNO_INCLUDE}/com/sun/star/uno/XInterface.hpp")
    message(STATUS "Generating UNO headers into ${LO_UNO_INCLUDE}")
    execute_process(
        COMMAND "${CPPUMAKER}" -Gc "-O${LO_UNO_INCLUDE}"
                "${LO_PROGRAM_DIR}/types.rdb" "${LO_PROGRAM_DIR}/types/offapi.rdb"
        RESULT_VARIABLE cppumaker_result)
    if(NOT cppumaker_result EQUAL 0)
        message(FATAL_ERROR "cppumaker failed (${cppumaker_result})")
    endif()
endif()

add_library(LibreOffice_Uno INTERFACE)
add_library(LibreOffice::Uno ALIAS LibreOffice_Uno)
target_include_directories(LibreOffice_Uno SYSTEM INTERFACE "${LO_UNO_INCLUDE}" /usr/include/libreoffice)
target_compile_definitions(LibreOffice_Uno INTERFACE LINUX UNX GCC CPPU_ENV=gcc3)
target_link_directories(LibreOffice_Uno INTERFACE "${LO_SDK_DIR}/lib")
target_link_libraries(LibreOffice_Uno INTERFACE uno_cppuhelpergcc3 uno_cppu uno_salhelpergcc3 uno_sal)
# Without an rpath to the program folder the UNO runtime cannot find its bootstrap files.
target_link_options(LibreOffice_Uno INTERFACE "LINKER:-rpath,${LO_PROGRAM_DIR}")
