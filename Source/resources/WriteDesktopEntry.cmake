# Writes the desktop entry at install time, when the prefix is final
# (cmake --install --prefix may change it), with the program's installed path
# in its Exec key: the launcher then works whether or not that folder is on
# the PATH.
#   In: ENTRY_TEMPLATE, ENTRY_FILE, PROGRAM (an absolute path).
#
# The path is one quoted argument, so any folder name works. Inside the
# quotes a backslash, double quote, backquote and dollar sign are escaped
# with a backslash; the key's own string escaping then doubles every
# backslash; and a percent sign is doubled so it is not read as a field code.
string(REPLACE "\\" "\\\\" exec "${PROGRAM}")
string(REGEX REPLACE "([\"`$])" "\\\\\\1" exec "${exec}")
string(REPLACE "\\" "\\\\" exec "${exec}")
string(REPLACE "%" "%%" exec "${exec}")
set(KESTRANE_EXEC "\"${exec}\"")
configure_file("${ENTRY_TEMPLATE}" "${ENTRY_FILE}" @ONLY)
