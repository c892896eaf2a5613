// tavrelctl keeps the last serial number in the window program's profile
// without Qt: the window program must find it where and as it looks for it.
#include "model/profile_file.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>

#include "ui/profile_store.h"

using tavrel::ProfileStore;

class ProfileFileTest : public QObject {
  Q_OBJECT
 private slots:
  void theWindowProgramReadsWhatTavrelctlWrote() {
    QTemporaryDir dir;
    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir.path().toUtf8());

    ProfileStore store;
    QCOMPARE(QString::fromStdString(tavrel::ProfileFilePath()), store.FileName());

    // Settings the window program already keeps, some with characters its
    // file format escapes.
    QVERIFY(store.WriteProfileInt("Settings", "COM Port", 3));
    QVERIFY(store.WriteProfileString("Recent File List", "File1", "/tmp/a b,c=d.tdx"));
    QVERIFY(store.WriteProfileInt("Recent", "LOMIRA-X", 5));

    QCOMPARE(tavrel::WriteProfileInt(tavrel::ProfileFilePath(), "RECENT", "LOMIRA-X", 12345),
             std::string());
    QCOMPARE(store.GetProfileInt("Recent", "LOMIRA-X", 0), 12345);
    QCOMPARE(store.GetProfileInt("Settings", "COM Port", 0), 3);
    QCOMPARE(store.GetProfileString("Recent File List", "File1"), QString("/tmp/a b,c=d.tdx"));

    if (saved.isNull()) {
      qunsetenv("XDG_CONFIG_HOME");
    } else {
      qputenv("XDG_CONFIG_HOME", saved);
    }
  }

  // A profile an earlier version of the window program left (the framework's
  // own INI format: percent-encoded names, quoted and escaped values), with
  // the serial number in a second spelling of its section.
  void theWindowProgramReadsWhatTavrelctlWroteIntoAnEarlierFile() {
    QTemporaryDir dir;
    const QString path = dir.filePath("profile.ini");
    const QStringList files{"/tmp/a b.tdx", "/tmp/c,d;e=f.tdx",
                            QString::fromUtf8("/tmp/\"\xc3\xa9\"\\x.tdx"), "@/tmp/g.tdx"};
    {
      QSettings earlier(path, QSettings::IniFormat);
      earlier.setValue("Settings/COM Port", 3);
      for (int i = 0; i < files.size(); ++i)
        earlier.setValue(QString("Recent File List/File%1").arg(i + 1), files[i]);
      earlier.setValue("Recent/File", "/tmp/h.tdx");
      earlier.setValue("RECENT/LOMIRA-X", 7);
    }

    QCOMPARE(tavrel::WriteProfileInt(path.toStdString(), "RECENT", "LOMIRA-X", 12345),
             std::string());
    ProfileStore store(path);
    QCOMPARE(store.GetProfileInt("Recent", "LOMIRA-X", 0), 12345);
    QCOMPARE(store.GetProfileInt("Settings", "COM Port", 0), 3);
    QCOMPARE(store.GetProfileString("recent", "File"), QString("/tmp/h.tdx"));
    for (int i = 0; i < files.size(); ++i)
      QCOMPARE(store.GetProfileString("Recent File List", QString("File%1").arg(i + 1)), files[i]);
  }
};

QTEST_GUILESS_MAIN(ProfileFileTest)
#include "profile_file_test.moc"
