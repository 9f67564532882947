#include "fakes/TempDir.h"

#include <cstdlib>

#include <fstream>
#include <iterator>
#include <stdexcept>

namespace orvanta::testing {

TempDir::TempDir() {
  std::string pattern = (std::filesystem::temp_directory_path() / "orvanta-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("cannot make a temporary folder");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::write(std::string_view name, std::string_view bytes) const {
  std::string full = file(name);
  std::filesystem::create_directories(std::filesystem::path(full).parent_path());
  writeFile(full, bytes);
  return full;
}

std::string TempDir::read(std::string_view name) const { return readFile(file(name)); }

CurrentDirectory::CurrentDirectory(const std::string& folder) : previous_(std::filesystem::current_path()) {
  std::filesystem::current_path(folder);
}

CurrentDirectory::~CurrentDirectory() {
  std::error_code ec;
  std::filesystem::current_path(previous_, ec);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const std::string& path, std::string_view bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace orvanta::testing
