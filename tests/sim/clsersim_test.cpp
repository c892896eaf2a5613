// The CameraLink test library through its C entry points, loaded as a board
// library would be.
#include <dlfcn.h>
#include <stdlib.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

using InitFn = std::int32_t (*)(std::uint32_t, void**);
using MoveFn = std::int32_t (*)(void*, std::int8_t*, std::uint32_t*, std::uint32_t);
using CloseFn = void (*)(void*);
using RegisterFn = std::int32_t (*)(void*, std::int32_t, std::int32_t, std::int32_t, std::uint8_t*);

constexpr std::int32_t kClTimeout = -10004;

class ClSerSimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    library_ = dlopen(CLSERSIM_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library_, nullptr) << dlerror();
    init_ = reinterpret_cast<InitFn>(dlsym(library_, "clSerialInit"));
    read_ = reinterpret_cast<MoveFn>(dlsym(library_, "clSerialRead"));
    write_ = reinterpret_cast<MoveFn>(dlsym(library_, "clSerialWrite"));
    close_ = reinterpret_cast<CloseFn>(dlsym(library_, "clSerialClose"));
    readRegister_ = reinterpret_cast<RegisterFn>(dlsym(library_, "tavrelSimReadRegister"));
    ASSERT_TRUE(init_ && read_ && write_ && close_ && readRegister_);
  }
  void TearDown() override {
    if (port_ != nullptr) close_(port_);
    unsetenv("TAVREL_CLSERSIM");
    if (library_ != nullptr) dlclose(library_);
  }

  std::int32_t Open(const char* options) {
    setenv("TAVREL_CLSERSIM", options, 1);
    return init_(0, &port_);
  }
  std::int32_t Write(const std::string& bytes, std::uint32_t* moved = nullptr) {
    std::string copy = bytes;
    std::uint32_t size = static_cast<std::uint32_t>(copy.size());
    const auto result = write_(port_, reinterpret_cast<std::int8_t*>(copy.data()), &size, 1000);
    if (moved != nullptr) *moved = size;
    return result;
  }
  std::string Read(std::uint32_t count, std::uint32_t timeoutMs, std::int32_t* result = nullptr) {
    std::string buffer(count, '\0');
    std::uint32_t size = count;
    const auto r = read_(port_, reinterpret_cast<std::int8_t*>(buffer.data()), &size, timeoutMs);
    if (result != nullptr) *result = r;
    buffer.resize(size);
    return buffer;
  }

  void* library_ = nullptr;
  void* port_ = nullptr;
  InitFn init_ = nullptr;
  MoveFn read_ = nullptr;
  MoveFn write_ = nullptr;
  CloseFn close_ = nullptr;
  RegisterFn readRegister_ = nullptr;
};

TEST_F(ClSerSimTest, InitFailsOnRequestForOtherPortsAndBadOptions) {
  EXPECT_NE(Open("--init-fail"), 0);
  EXPECT_EQ(port_, nullptr);
  EXPECT_NE(Open("--model NOPE"), 0);
  EXPECT_EQ(port_, nullptr);
  // Its serial calls carry no line rate to hold against.
  EXPECT_NE(Open("--baud 9600"), 0);
  EXPECT_EQ(port_, nullptr);
  setenv("TAVREL_CLSERSIM", "", 1);
  EXPECT_NE(init_(1, &port_), 0);
  EXPECT_EQ(port_, nullptr);
}

TEST_F(ClSerSimTest, AnswersAtOnceAndReportsRegisters) {
  ASSERT_EQ(Open("--model LOMIRA-P/S"), 0);
  ASSERT_NE(port_, nullptr);
  EXPECT_EQ(Write("\x05"), 0);
  EXPECT_EQ(Read(1, 100), "\x06");
  EXPECT_EQ(Write("\x02"
                  "01FF010C012C00\x03"
                  "03"),
            0);
  EXPECT_EQ(Read(1, 100), "\x06");
  std::uint8_t bytes[3] = {};
  ASSERT_EQ(readRegister_(port_, 1, 0x01, 0x0C, bytes), 0);
  EXPECT_EQ(bytes[0], 0x01);
  EXPECT_EQ(bytes[1], 0x2C);
  EXPECT_EQ(readRegister_(port_, 1, 0x07, 0x0C, bytes), -1);
  // A read asking for more than arrived gives what there is and a time-out.
  std::int32_t result = 0;
  EXPECT_EQ(Write("\x05"), 0);
  EXPECT_EQ(Read(4, 20, &result), "\x06");
  EXPECT_EQ(result, kClTimeout);
}

TEST_F(ClSerSimTest, ReportsTheModelNameItIsGiven) {
  ASSERT_EQ(Open("--model KESTRA-P/S --model-name LOMIRA-S"), 0);
  std::uint8_t bytes[3] = {};
  ASSERT_EQ(readRegister_(port_, 1, 0x10, 0x08, bytes), 0);
  EXPECT_EQ(bytes[0], 'L');
  EXPECT_EQ(bytes[1], 'O');
  ASSERT_EQ(readRegister_(port_, 1, 0x10, 0x0B, bytes), 0);
  EXPECT_EQ(bytes[0], '-');
  EXPECT_EQ(bytes[1], 'S');
}

TEST_F(ClSerSimTest, PacedAnswerIsNotThereBeforeItsTime) {
  ASSERT_EQ(Open("--pace 38400 --turnaround 60000"), 0);
  EXPECT_EQ(Write("\x05"), 0);
  std::int32_t result = 0;
  EXPECT_EQ(Read(1, 10, &result), "");
  EXPECT_EQ(result, kClTimeout);
}

TEST_F(ClSerSimTest, HangupFailsReadsAndWrites) {
  ASSERT_EQ(Open("--fault hangup"), 0);
  std::uint32_t moved = 99;
  EXPECT_NE(Write("\x05", &moved), 0);
  EXPECT_EQ(moved, 0u);
  std::int32_t result = 0;
  EXPECT_EQ(Read(1, 10, &result), "");
  EXPECT_NE(result, 0);
}

}  // namespace
