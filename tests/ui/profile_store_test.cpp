#include "ui/profile_store.h"

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

using tavrel::ProfileStore;

namespace {

QByteArray ReadFile(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class ProfileStoreTest : public QObject {
  Q_OBJECT
 private slots:
  void sectionsIgnoreCase() {
    QTemporaryDir dir;
    ProfileStore store(dir.filePath("profile.ini"));
    QVERIFY(store.WriteProfileInt("RECENT", "LOMIRA-X", 12345));
    QCOMPARE(store.GetProfileInt("Recent", "LOMIRA-X", 0), 12345);
    QVERIFY(store.WriteProfileInt("recent", "LOMIRA-X", 7));
    QCOMPARE(store.GetProfileInt("RECENT", "LOMIRA-X", 0), 7);
  }

  void missingValuesGiveTheDefault() {
    QTemporaryDir dir;
    ProfileStore store(dir.filePath("profile.ini"));
    QCOMPARE(store.GetProfileInt("Settings", "COM Port", -1), -1);
    QCOMPARE(store.GetProfileString("Recent File List", "File1", "none"), QString("none"));
    QVERIFY(store.WriteProfileString("Recent File List", "File1", "/tmp/a.tdx"));
    QCOMPARE(store.GetProfileString("recent file list", "File1"), QString("/tmp/a.tdx"));
  }

  // What the program stores, written as named and without empty entries.
  void namesAreWrittenPlainly() {
    QTemporaryDir dir;
    const QString path = dir.filePath("profile.ini");
    ProfileStore store(path);
    QVERIFY(store.WriteProfileInt("Settings", "COM Port", 1));
    QVERIFY(store.WriteProfileString("Recent File List", "File1", "/tmp/a b.tdx"));
    QVERIFY(store.WriteProfileString("Recent File List", "File2", "/tmp/c,d;e.tdx"));
    QVERIFY(store.WriteProfileString("Recent File List", "File3", "/tmp/gone.tdx"));
    QVERIFY(store.WriteProfileString("Recent File List", "File3", ""));
    QVERIFY(store.WriteProfileString("Recent File List", "File4", ""));
    QVERIFY(store.WriteProfileInt("RECENT", "LOMIRA-X", 12345));
    // Sections in the order they were first written.
    QCOMPARE(ReadFile(path), QByteArray("[Settings]\n"
                                        "COM Port=1\n"
                                        "\n"
                                        "[Recent File List]\n"
                                        "File1=/tmp/a b.tdx\n"
                                        "File2=/tmp/c,d;e.tdx\n"
                                        "\n"
                                        "[RECENT]\n"
                                        "LOMIRA-X=12345\n"));
    QCOMPARE(store.GetProfileString("Recent File List", "File2"), QString("/tmp/c,d;e.tdx"));
    QCOMPARE(store.GetProfileString("Recent File List", "File3", "none"), QString("none"));
  }

  // A profile written by the framework's own INI format, as earlier versions
  // of the program stored it: percent-encoded names, quoted and escaped values.
  void readsWhatEarlierVersionsWrote() {
    QTemporaryDir dir;
    const QString path = dir.filePath("profile.ini");
    const QStringList files{"/tmp/a b.tdx", "/tmp/c,d.tdx", QString::fromUtf8("/tmp/\"é\"\\x.tdx"),
                            "@/tmp/e.tdx"};
    {
      QSettings earlier(path, QSettings::IniFormat);
      earlier.setValue("Settings/COM Port", 3);
      for (int i = 0; i < files.size(); ++i)
        earlier.setValue(QString("Recent File List/File%1").arg(i + 1), files[i]);
      earlier.setValue("Recent/LOMIRA-X", 4567);
    }
    QVERIFY(ReadFile(path).contains("[Recent%20File%20List]"));

    ProfileStore store(path);
    QCOMPARE(store.GetProfileInt("Settings", "COM Port", 0), 3);
    QCOMPARE(store.GetProfileInt("RECENT", "LOMIRA-X", 0), 4567);
    for (int i = 0; i < files.size(); ++i)
      QCOMPARE(store.GetProfileString("recent file list", QString("File%1").arg(i + 1)), files[i]);

    // The next write leaves the file in the plain form.
    QVERIFY(store.WriteProfileInt("Settings", "COM Port", 2));
    const QByteArray plain = ReadFile(path);
    QVERIFY2(plain.contains("[Recent File List]\nFile1=/tmp/a b.tdx\n"), plain.constData());
    QVERIFY2(plain.contains("[Settings]\nCOM Port=2\n"), plain.constData());
    QVERIFY(!plain.contains('%'));
  }

  // Sections spelled differently in one file are one section; a write
  // changes the line it reads from and leaves the file as it is otherwise.
  void sectionsSpelledDifferentlyInTheFileAreOne() {
    QTemporaryDir dir;
    const QString path = dir.filePath("profile.ini");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[Recent]\nLOMIRA-X=1\n\n[RECENT]\nOther=2\n");
    file.close();
    ProfileStore store(path);
    QCOMPARE(store.GetProfileInt("recent", "LOMIRA-X", 0), 1);
    QCOMPARE(store.GetProfileInt("Recent", "Other", 0), 2);
    QVERIFY(store.WriteProfileInt("RECENT", "LOMIRA-X", 9));
    QCOMPARE(ReadFile(path), QByteArray("[Recent]\nLOMIRA-X=9\n\n[RECENT]\nOther=2\n"));
    QCOMPARE(store.GetProfileInt("recent", "Other", 0), 2);
  }
};

QTEST_GUILESS_MAIN(ProfileStoreTest)
#include "profile_store_test.moc"
