if(WFP_SANITIZE)
  set(WFP_SANITIZER_FLAGS -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${WFP_SANITIZER_FLAGS})
  add_link_options(${WFP_SANITIZER_FLAGS})
endif()

# The fuzz build instruments every library so that coverage reaches the parsers.
if(WFP_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
