// One QApplication for all tests of an executable.
#include <gtest/gtest.h>

#include <QApplication>
#include <memory>

#include "vormotor/qt/QtEnvironment.h"

namespace {

class QtTestEnvironment final : public testing::Environment {
public:
    void SetUp() override {
        vor::qt::PrepareQtEnvironment();
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "vor-qt-tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] testing::Environment* const kEnvironment = testing::AddGlobalTestEnvironment(new QtTestEnvironment);

}  // namespace
