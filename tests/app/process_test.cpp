// The real program on a real X server (Xvfb): one instance per program folder, and the end of a start-up
// that cannot open its area-code file. The developers' probe of the same program tells when the first
// one shows.

#include <gtest/gtest.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <cstdlib>

#include "fixtures/program_folder.h"

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
                                 folder.path() / program);
    testing::MakeAreaCodeDatabase(folder, {"30"});
    folder.Write("system.ini", "[Fernkartei]\r\nTyp=2\r\nOutput=V N\r\n");
  }

  void Start(QProcess& process, const char* program, const QStringList& arguments) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "xcb");
    process.setProcessEnvironment(env);
    process.start(QString::fromStdString(folder / program), arguments);
    ASSERT_TRUE(process.waitForStarted(kTimeoutMs));
  }

  testing::TempFolder folder;
};

TEST_F(ProgramProcessTest, ASecondStartShowsTheWarningAndEndsWhileTheFirstRuns) {
  const std::string settings = folder.Read("system.ini");
  QProcess first;
  first.setReadChannel(QProcess::StandardError);
  Start(first, "fernkartei-window-probe", {"--startup-timing"});
  QByteArray shown;
  while (!shown.contains("gezeigt") && first.waitForReadyRead(kTimeoutMs))
    shown += first.readAllStandardError();
  ASSERT_TRUE(shown.contains("gezeigt")) << shown.toStdString();

  QProcess second;
  Start(second, "fernkartei", {"--auto-confirm"});
  ASSERT_TRUE(second.waitForFinished(kTimeoutMs));
  EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(second.exitCode(), 0);
  EXPECT_TRUE(QString::fromUtf8(second.readAllStandardError())
                  .contains("Achtung!\nEs läuft bereits eine Instanz dieser Anwendung.\n\n"
                            "Ein mehrfaches gleichzeitiges Ausführen ist nicht möglich!"));
  EXPECT_EQ(first.state(), QProcess::Running);
  EXPECT_EQ(folder.Read("system.ini"), settings);
  first.terminate();
  ASSERT_TRUE(first.waitForFinished(kTimeoutMs));

  // A start-up that cannot open its area-code file ends with status 1.
  folder.Write("system.ini", "[Fernkartei]\r\nDatabaseName=" + (folder / "fehlt.mdb") + "\r\n");
  QProcess broken;
  Start(broken, "fernkartei", {"--auto-confirm"});
  ASSERT_TRUE(broken.waitForFinished(kTimeoutMs));
  EXPECT_EQ(broken.exitCode(), 1);
  EXPECT_TRUE(broken.readAllStandardError().contains("Laufzeitfehler '"));
}

}  // namespace
}  // namespace fernkartei::app
