#include "tests/qr/support.h"

#include "qr/facade.h"

namespace {

void throwingHandler(const std::string& source, const std::string& method, const std::string& message) {
    throw qrtest::Report(source, method, message);
}

class QrEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qr::设置模块错误报告处理(&throwingHandler);
        qr::初始化二维码模块();
    }
};

[[maybe_unused]] auto* const environment = ::testing::AddGlobalTestEnvironment(new QrEnvironment);

}  // namespace
