# Writes SHA256SUMS in DIR for FILES (a ";" list), in the format "sha256sum -c" reads: the hash,
# two blanks, the name, one line each.
set(text "")
foreach(f IN LISTS FILES)
  file(SHA256 ${DIR}/${f} hash)
  string(APPEND text "${hash}  ${f}\n")
endforeach()
file(WRITE ${DIR}/SHA256SUMS "${text}")
