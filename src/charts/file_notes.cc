#include "charts/file_notes.h"

#include <filesystem>
#include <system_error>

namespace tarvo {

std::string FileKindNote(const Context& ctx, FileKind kind) {
  switch (kind) {
    case FileKind::kMissing:
    case FileKind::kRegular:
      return {};
    case FileKind::kFolder:
      return std::string(ctx.Text({" (a folder)", " (資料夾)"}));
    case FileKind::kPipe:
      return std::string(ctx.Text({" (a named pipe)", " (具名管道)"}));
    case FileKind::kDevice:
      return std::string(ctx.Text({" (a device)", " (裝置)"}));
    case FileKind::kOther:
      break;
  }
  return std::string(ctx.Text({" (not a regular file)", " (不是一般檔案)"}));
}

std::string EmptyFileNote(const Context& ctx) {
  return std::string(ctx.Text({" (empty file)", " (空檔案)"}));
}

std::string FileSizeNote(const Context& ctx, uint64_t size, size_t wanted) {
  return " (" + std::to_string(size) + std::string(ctx.Text({" bytes, not ", " 位元組, 應為 "})) +
         std::to_string(wanted) + std::string(ctx.Text({")", " 位元組)"}));
}

std::string FileTooLongNote(const Context& ctx, size_t wanted) {
  return std::string(ctx.Text({" (more than ", " (超過 "})) + std::to_string(wanted) +
         std::string(ctx.Text({" bytes)", " 位元組)"}));
}

std::string FolderNote(const Context& ctx, std::string_view name) {
  if (name.empty() || std::filesystem::path(name).is_absolute()) return {};
  std::string folder = ctx.station_dir.string();
  if (folder.empty()) {
    std::error_code failed;
    folder = std::filesystem::current_path(failed).string();
    if (failed) return {};
  }
  if (ctx.edition.open_error_names_folder) return "\nFolder searched: " + folder;
  ctx.Note("Open File: " + std::string(name) + " was looked for in " + folder);
  return {};
}

}  // namespace tarvo
