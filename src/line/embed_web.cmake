# Writes OUT, a C++ source holding every file named in FILES (paths separated by |) as a
# WebAsset.
#   cmake -DOUT=web_assets_data.cc -DFILES="a.html|b.js" -P embed_web.cmake
string(REPLACE "|" ";" FILES "${FILES}")
set(text "// Made by src/line/embed_web.cmake from src/line/web; do not edit.\n")
string(APPEND text "#include \"line/web_assets.h\"\n\nnamespace tarvo::line {\nnamespace {\n")
string(APPEND text "constexpr WebAsset kAssets[] = {\n")
foreach(file ${FILES})
  get_filename_component(name ${file} NAME)
  file(READ ${file} body)
  if(body MATCHES "\\)tarvo_web\"")
    message(FATAL_ERROR "${file} holds the raw string's end marker")
  endif()
  string(APPEND text "    {\"${name}\", R\"tarvo_web(${body})tarvo_web\"},\n")
endforeach()
string(APPEND text "};\n}  // namespace\n\nstd::span<const WebAsset> WebAssets() {\n  return kAssets;\n}\n\n}  // namespace tarvo::line\n")
file(WRITE ${OUT}.tmp "${text}")
file(COPY_FILE ${OUT}.tmp ${OUT} ONLY_IF_DIFFERENT)
