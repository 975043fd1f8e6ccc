#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace ocable::hostapp {

// Everything the stand-alone host needs to know about its login and folders:
// read from the host configuration file, then overridden by command-line
// options.
struct HostConfig {
    std::filesystem::path database;
    std::string userName = "admin";
    int userLevel = 2;
    std::filesystem::path systemDir;
    std::filesystem::path appDir;
    std::filesystem::path mapDir;
    std::filesystem::path commonFilesDir;
    std::string titleA = "传输网管系统";
    std::string titleB = "光缆网络";

    // Section [Host] of an INI file: Database, UserName, UserLevel, SystemDir,
    // AppDir, MapDir, CommonFilesDir, TitleA, TitleB. Relative folders are
    // taken from the file's folder. Keys that are absent keep their value.
    // Throws std::runtime_error naming the file when it is missing or
    // unreadable, or holds a user level that is not a whole number.
    void readFile(const std::filesystem::path& file);
    // Sets the folders below root: system/, app/, map/, common/.
    void useDemoLayout(const std::filesystem::path& root);
};

// A user level as typed: a whole number from 0 up, blanks around it allowed.
// Throws std::invalid_argument otherwise, so "abc" is not taken for level 0.
int parseUserLevel(const std::string& text);

} // namespace ocable::hostapp
