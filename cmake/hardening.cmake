# Debian's usual hardening for every Linux target: checked string and memory
# functions where the compiler can see the sizes, stack canaries, and
# relocations resolved and made read-only before main() runs. Set before any
# target exists, so the static libraries' code is hardened too.
add_compile_options(-fstack-protector-strong)
# The checked functions need optimisation; an unoptimised build would only warn.
add_compile_options("$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
add_link_options(LINKER:-z,relro LINKER:-z,now)
