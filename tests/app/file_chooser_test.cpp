// The window program's save dialog: a name in a folder that does not exist is
// refused with a warning and asked for again, where the caller requires an
// existing folder (the Write To Camera copy).
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QtTest>
#include <vector>

#include "app/file_chooser.h"

class FileChooserTest : public QObject {
  Q_OBJECT

 private slots:
  void missingFolder_data() {
    QTest::addColumn<bool>("folderMustExist");
    QTest::newRow("required") << true;
    QTest::newRow("not required") << false;
  }
  void missingFolder() {
    QFETCH(bool, folderMustExist);
    QTemporaryDir folder;
    const QString missing = folder.filePath("missing/copy.tdx");
    const QString good = folder.filePath("copy.tdx");
    std::vector<QString> typed{missing, good};
    std::vector<QString> warnings;
    tavrel::QtFileChooser chooser([&](QDialog& dialog) {
      if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        warnings.push_back(box->text());
        return int(QMessageBox::Ok);
      }
      auto& files = static_cast<QFileDialog&>(dialog);
      if (typed.empty()) return int(QDialog::Rejected);
      // What the user types into the name box.
      files.setOption(QFileDialog::DontUseNativeDialog);
      auto* name = files.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
      if (name == nullptr) return int(QDialog::Rejected);
      name->setText(typed.front());
      typed.erase(typed.begin());
      static_cast<QDialog&>(files).accept();
      return files.result();
    });
    tavrel::FileRequest request;
    request.filters = {QStringLiteral("TAVDX Files (*.tdx)")};
    request.defaultSuffix = QStringLiteral("tdx");
    request.folderMustExist = folderMustExist;
    const auto chosen = chooser.ChooseFileToSave(request);
    QVERIFY(chosen.has_value());
    QCOMPARE(*chosen, folderMustExist ? good : missing);
    QCOMPARE(warnings.size(), std::size_t(folderMustExist ? 1 : 0));
    // The warning names the file as the system writes it.
    if (folderMustExist) QVERIFY(warnings[0].startsWith(QDir::toNativeSeparators(missing)));
  }
};

QTEST_MAIN(FileChooserTest)
#include "file_chooser_test.moc"
