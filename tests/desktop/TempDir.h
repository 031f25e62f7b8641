// A private temporary directory, removed with everything in it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

namespace linkpanel::test {

class TempDir {
public:
    TempDir() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "linkpanel-test-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            path_ = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Points XDG_RUNTIME_DIR somewhere for the life of the object.
class RuntimeDirOverride {
public:
    explicit RuntimeDirOverride(const std::string& dir) {
        if (const char* old = std::getenv("XDG_RUNTIME_DIR"))
            old_ = old, had_ = true;
        setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    }
    ~RuntimeDirOverride() {
        if (had_)
            setenv("XDG_RUNTIME_DIR", old_.c_str(), 1);
        else
            unsetenv("XDG_RUNTIME_DIR");
    }
    RuntimeDirOverride(const RuntimeDirOverride&) = delete;
    RuntimeDirOverride& operator=(const RuntimeDirOverride&) = delete;

private:
    std::string old_;
    bool had_ = false;
};

}  // namespace linkpanel::test
