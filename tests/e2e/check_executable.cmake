cmake_policy(SET CMP0057 NEW)
# The shipped executable: a 32-bit Windows GUI program that imports only
# system DLLs, so that it runs on a bare machine with nothing installed.
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "objdump failed on ${EXE}")
endif()
if(NOT dump MATCHES "file format pei-i386")
  message(FATAL_ERROR "not a 32-bit PE executable")
endif()
if(NOT dump MATCHES "Subsystem[ \t]+00000002")
  message(FATAL_ERROR "not a GUI program")
endif()
set(allowed kernel32 ntdll user32 gdi32 comctl32 advapi32 shell32 ole32 oleaut32 msvcrt)
string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${dump}")
foreach(line IN LISTS imports)
  string(REGEX REPLACE "DLL Name: ([^.]+)\\.[dD][lL][lL]" "\\1" name "${line}")
  string(TOLOWER "${name}" name)
  if(NOT name IN_LIST allowed)
    message(FATAL_ERROR "imports a DLL that is not part of the system: ${line}")
  endif()
  message(STATUS "imports ${name}")
endforeach()
# No system text in a byte-sized buffer: every call that writes a name or a
# path into the caller's buffer is made in its UTF-16 form, whose buffer
# grows to what the call needs. Its ANSI form must be neither imported nor
# looked up by name at run time.
set(byte_buffered FindFirstFileA FindNextFileA GetModuleFileNameA SHGetFolderPathA SHGetSpecialFolderPathA
    GetEnvironmentVariableA ExpandEnvironmentStringsA GetCurrentDirectoryA GetFullPathNameA GetLongPathNameA
    GetShortPathNameA GetTempPathA GetTempPath2A GetTempFileNameA GetSystemDirectoryA GetSystemWindowsDirectoryA
    GetWindowsDirectoryA GetFinalPathNameByHandleA GetWindowTextA GetDlgItemTextA GetClassNameA
    RegQueryValueExA RegQueryValueA RegGetValueA RegEnumKeyExA RegEnumKeyA RegEnumValueA RegQueryInfoKeyA
    GetObjectA FormatMessageA GetLocaleInfoA GetVolumeInformationA GetUserNameA GetComputerNameA)
string(REGEX MATCHALL "\n\t[0-9a-f]+\t +[0-9]+ +[A-Za-z0-9_]+" entries "${dump}")
set(imported "")
foreach(entry IN LISTS entries)
  string(REGEX REPLACE ".* ([A-Za-z0-9_]+)$" "\\1" name "${entry}")
  list(APPEND imported ${name})
endforeach()
list(LENGTH imported count)
if(count LESS 20)
  message(FATAL_ERROR "read only ${count} imported functions: the look at the import table is broken")
endif()
file(STRINGS ${EXE} names REGEX "^[A-Za-z0-9_]+A$")
foreach(name IN LISTS byte_buffered)
  if(name IN_LIST imported)
    message(FATAL_ERROR "imports ${name}, which writes system text into a byte-sized buffer")
  endif()
  if(name IN_LIST names)
    message(FATAL_ERROR "looks up ${name} by name, which writes system text into a byte-sized buffer")
  endif()
endforeach()
message(STATUS "${count} imported functions, none of them byte-buffered")

# The test seam that takes rights away is in the tests' build alone:
# SEAM is ON for that build, where the same look must find it.
file(STRINGS ${EXE} seams REGEX "QUILLMARN_FILTERED_TOKEN")
file(STRINGS ${EXE} wide_seams ENCODING UTF-16LE REGEX "QUILLMARN_FILTERED_TOKEN")
list(APPEND seams ${wide_seams})
if(SEAM AND NOT seams)
  message(FATAL_ERROR "the tests' build has no seam: the look for it is broken")
elseif(NOT SEAM AND seams)
  message(FATAL_ERROR "the shipped program holds the test seam: ${seams}")
endif()
message(STATUS "test seam: ${seams}")
if(SEAM)
  return()
endif()
# The program starts without the C runtime's start-up code, which would run
# the constructors of objects at namespace scope: such an object would never
# be built. The test programs do build it, so only the linker's map of the
# program itself tells. Nor may the library's exception machinery come in,
# which a part of the library that can throw would bring.
file(STRINGS ${MAP} constructors REGEX "^ \\.(ctors|init_array)[^ ]* +0x[0-9a-f]+ +0x[0-9a-f]+ ")
if(constructors)
  message(FATAL_ERROR "the program has objects built before its entry, which nothing would build: ${constructors}")
endif()
file(STRINGS ${MAP} library_members REGEX "^[^ ].*lib(stdc\\+\\+|gcc_eh)\\.a\\(")
if(library_members)
  message(FATAL_ERROR "the program links the library's exception machinery: ${library_members}")
endif()
file(STRINGS ${MAP} map_lines REGEX "___CTOR_LIST__")
if(NOT map_lines)
  message(FATAL_ERROR "the map names no constructor list: the look at ${MAP} is broken")
endif()
file(SIZE ${EXE} size)
message(STATUS "uninstall.exe: ${size} bytes")
# Small enough to place beside every installed program: within 120 KiB, room
# for clarity beside the peer's uninstaller (NSIS's, 91,913 bytes, which
# bench/run measures). A library that drags in its exception machinery, say,
# costs far more than this allows.
if(size GREATER 122880)
  message(FATAL_ERROR "uninstall.exe is ${size} bytes, more than its budget of 122,880")
endif()
