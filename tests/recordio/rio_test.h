#pragma once
// Shared fixture of the record I/O tests: console streams replaced by string
// streams, a scratch folder for files, and helpers that return the exact
// bytes of records.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>

#include "recordio/recordio.h"

namespace fs = std::filesystem;

class RecordIoTest : public ::testing::Test {
protected:
    std::istringstream in;
    std::ostringstream out;
    fs::path dir;
    fs::path oldCwd;
    int serial_ = 0;

    void SetUp() override {
        ResetRecordIo();
        SetConsoleStreams(&in, &out);
        std::random_device rd;
        dir = fs::temp_directory_path() / ("korvo-rio-" + std::to_string(rd()) + std::to_string(rd()));
        fs::create_directories(dir);
        oldCwd = fs::current_path();
        fs::current_path(dir);
    }
    void TearDown() override {
        ResetRecordIo();
        SetConsoleStreams(nullptr, nullptr);
        fs::current_path(oldCwd);
        std::error_code ec;
        fs::remove_all(dir, ec);
    }

    // (not inlined: g++ 12 gives a false -Wrestrict warning on the inlined copy)
    [[gnu::noinline]] void Input(const std::string& s) {
        in.str(s);
        in.clear();
    }
    // Console bytes written since the last call.
    std::string Take() {
        std::string s = out.str();
        out.str("");
        return s;
    }

    static std::string Slurp(const fs::path& p) {
        std::ifstream f(p, std::ios::binary);
        std::ostringstream s;
        s << f.rdbuf();
        return s.str();
    }
    void Put(const std::string& name, const std::string& bytes) {
        std::ofstream f(dir / name, std::ios::binary);
        f << bytes;
    }

    // Writes one statement to a fresh file and returns the file's bytes.
    template <class... Items>
    std::string FileBytes(const char* fmt, const Items&... items) {
        const std::string name = "rec" + std::to_string(++serial_) + ".txt";
        EXPECT_EQ(OpenUnit(50, Text14(name), Text3("NEW")), 0);
        Write(50, RuntimeFormat(fmt), items...);
        CloseUnit(50);
        return Slurp(dir / name);
    }
    // The single record written by one statement, without its CR LF.
    template <class... Items>
    std::string Line(const char* fmt, const Items&... items) {
        std::string b = FileBytes(fmt, items...);
        EXPECT_GE(b.size(), 2u);
        EXPECT_EQ(b.substr(b.size() - 2), "\r\n");
        b.resize(b.size() - 2);
        EXPECT_EQ(b.find('\n'), std::string::npos) << "more than one record";
        return b;
    }
};

// The run-time error report expected for a statement error.
inline std::string Report(const std::string& head, const std::string& text) {
    return "\r\nrun-time error " + head + "\r\n- " + text + "\r\n";
}
