// The QApplication of the main-window tests (offscreen unless a platform was chosen) and the
// FormTest fixture.
#include "apptestenvironment.h"

#include <QApplication>

namespace {

class QtEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[9] = "test_app";
    char *m_argv[2] = { m_name, nullptr };
    std::unique_ptr<QApplication> m_app;
};

[[maybe_unused]] ::testing::Environment *const qtEnvironment
    = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

void FormTest::SetUp()
{
    m_previousDirectory = std::filesystem::current_path();
    std::filesystem::current_path(m_dir.path());
    m_previousReporter = zarel::app::setErrorReporter(
        [this](QWidget *, const QString &text) { m_errors.append(text); });
}

void FormTest::TearDown()
{
    closeForm();
    std::filesystem::current_path(m_previousDirectory);
    zarel::app::setErrorReporter(m_previousReporter);
}

void FormTest::writeDictionary(const std::map<int, std::vector<zarel::WriterEntry>> &tabs)
{
    zarel::test::writeTestDictionary(m_dir.path(), tabs);
}

TForm1 &FormTest::startForm()
{
    m_form = std::make_unique<TForm1>();
    return *m_form;
}
