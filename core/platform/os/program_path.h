#pragma once
// Where the running program lives. Paths of any length: nothing here is cut to a fixed
// buffer.

#include <string>

// The target of a symbolic link, however long; empty when it cannot be read.
std::string ReadSymbolicLink(const std::string& path);
// The full path of the running executable.
std::string GetProgramFile();
// The folder of a file path with its final "/" ("/a/b/c" -> "/a/b/"); "./" without one.
std::string FolderOfPath(const std::string& path);
