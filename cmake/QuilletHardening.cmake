# The hardening Debian builds its packages with (dpkg-buildflags): buffer-overflow checks in
# the C library's functions where the compiler optimises, stack protection, and relocations
# made read-only after start-up (full RELRO with immediate binding).
add_compile_options(-fstack-protector-strong
  # _FORTIFY_SOURCE needs optimisation: a Debug build (the sanitizer presets) would only warn.
  "$<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE;-D_FORTIFY_SOURCE=2>")
add_link_options(-Wl,-z,relro,-z,now)
