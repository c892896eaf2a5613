#include "panel/profile_store.h"

#include <QTemporaryDir>
#include <QTest>

using tavrel::ProfileStore;

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
};

QTEST_GUILESS_MAIN(ProfileStoreTest)
#include "profile_store_test.moc"
