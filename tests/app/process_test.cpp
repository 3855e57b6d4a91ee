// The real program on a real X server (Xvfb): one instance per program folder, failures at start-up,
// the developers' probe of the same program.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <cstdlib>
#include <filesystem>

#include "app_fixture.h"
#include "support/temp_folder.h"

namespace fernkartei::app {
namespace {

constexpr int kTimeoutMs = 30000;

class ProgramProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') GTEST_SKIP() << "no X server (Xvfb) to show the window on";
    // A program folder of its own: the program finds settings, database and lock beside itself.
    for (const char* program : {"fernkartei", "fernkartei-window-probe"})
      std::filesystem::copy_file(std::filesystem::path(FERNKARTEI_BIN_DIR) / program,
                                 folder_.path() / program);
    testing::WriteAreaCodeDatabase(folder_ / "vorwahlen.mdb", true);
    folder_.Write("system.ini", "[Fernkartei]\r\nTyp=2\r\nOutput=V N\r\n");
  }

  void Start(QProcess& process, const char* program, const QStringList& arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(QString::fromStdString(folder_.path().string()));
    process.start(QString::fromStdString(folder_ / program), arguments);
    ASSERT_TRUE(process.waitForStarted(kTimeoutMs));
  }

  // Waits until the program reports its window drawn.
  static bool WaitUntilShown(QProcess& process, QByteArray& seen) {
    while (!seen.contains("gezeigt")) {
      if (!process.waitForReadyRead(kTimeoutMs)) return false;
      seen += process.readAllStandardError();
    }
    return true;
  }

  testing::TempFolder folder_;
};

TEST_F(ProgramProcessTest, ASecondStartShowsTheWarningAndEndsWhileTheFirstRuns) {
  const std::string settings = folder_.Read("system.ini");
  QProcess first;
  first.setReadChannel(QProcess::StandardError);
  Start(first, "fernkartei-window-probe", {"--startup-timing"});
  QByteArray first_output;
  ASSERT_TRUE(WaitUntilShown(first, first_output)) << first_output.toStdString();

  QProcess second;
  Start(second, "fernkartei", {"--auto-confirm"});
  ASSERT_TRUE(second.waitForFinished(kTimeoutMs));
  const QString said = QString::fromUtf8(second.readAllStandardError());
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(
      said.contains("Achtung!\nEs läuft bereits eine Instanz dieser Anwendung.\n\n"
                    "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!"))
      << said.toStdString();

  EXPECT_EQ(first.state(), QProcess::Running);
  EXPECT_EQ(folder_.Read("system.ini"), settings);

  first.terminate();
  ASSERT_TRUE(first.waitForFinished(kTimeoutMs));

  // The lock goes with its process: the next start runs, here just long enough to take a picture.
  QProcess third;
  const QString picture = QString::fromStdString(folder_ / "fenster.png");
  Start(third, "fernkartei-window-probe", {"--screenshot", picture});
  ASSERT_TRUE(third.waitForFinished(kTimeoutMs));
  EXPECT_EQ(third.exitCode(), 0) << third.readAllStandardError().toStdString();
  EXPECT_GT(std::filesystem::file_size(folder_.path() / "fenster.png"), 1000U);
}

TEST_F(ProgramProcessTest, AnAreaCodeFileThatCannotBeOpenedEndsWithStatusOne) {
  folder_.Write("system.ini", "[Fernkartei]\r\nDatabaseName=" + (folder_ / "fehlt.mdb") + "\r\n");
  QProcess program;
  Start(program, "fernkartei", {"--auto-confirm"});
  ASSERT_TRUE(program.waitForFinished(kTimeoutMs));
  EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(program.exitCode(), 1);
  EXPECT_TRUE(program.readAllStandardError().contains("Laufzeitfehler '"));
}

}  // namespace
}  // namespace fernkartei::app
