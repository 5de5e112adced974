// Shared set-up of the main-window tests: one offscreen QApplication for the executable and a
// fixture that runs each test inside a fresh dictionary folder as the current directory.
#pragma once

#include "app/errorbox.h"
#include "app/tform1.h"
#include "support/testdictionary.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QStringList>

class FormTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Writes a 56-tab dictionary (the given tabs filled, the rest empty) into the folder.
    void writeDictionary(const std::map<int, std::vector<zarel::WriterEntry>> &tabs);
    // Creates the main window; the start-up runs inside.
    TForm1 &startForm();
    // Destroys the main window (its shut-down runs) while the folder is still current.
    void closeForm() { m_form.reset(); }

    std::string file(const std::string &relative) const { return m_dir.file(relative); }

    zarel::test::TempDir m_dir;
    std::unique_ptr<TForm1> m_form;
    QStringList m_errors; // texts of the error boxes the form raised

private:
    std::filesystem::path m_previousDirectory;
    zarel::app::ErrorReporter m_previousReporter;
};
