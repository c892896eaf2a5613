// tavrel-panel-shot: renders the control panel for camera models to PNG files,
// filled with each model's default settings, without a camera or a display.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTemporaryDir>
#include <cstdio>

#include "model/camera_unit.h"
#include "model/parameter_document.h"
#include "panel/panel_ids.h"
#include "panel/tavrel_view.h"
#include "ui/dialog_layout.h"
#include "ui/profile_store.h"

int main(int argc, char* argv[]) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Renders the TAVREL control panel for camera models to PNG files "
      "(<dir>/panel-<MODEL>.png, '/' in the model name becomes '_').");
  parser.addHelpOption();
  parser.addOption({{"o", "out"}, "Folder for the PNG files (default: .).", "dir", "."});
  const QCommandLineOption serviceControls(
      "service-controls", "Also show the serial-number and identification controls.");
  parser.addOption(serviceControls);
  parser.addPositionalArgument("models", "Model names, e.g. LOMIRA-P/S (default: all seven).");
  parser.process(app);

  QStringList models = parser.positionalArguments();
  if (models.isEmpty()) {
    for (int type = 0; type < tavrel::kCameraTypeCount; ++type) {
      models << QString::fromStdString(tavrel::CameraModelName(type));
    }
  }
  const QDir out(parser.value("out"));
  if (!out.exists() && !QDir().mkpath(out.path())) {
    std::fprintf(stderr, "tavrel-panel-shot: cannot create %s\n", qPrintable(out.path()));
    return 1;
  }
  QTemporaryDir profileDir;  // never touch the user's own profile
  int status = 0;
  for (const QString& model : models) {
    const int type = tavrel::CameraTypeFromName(model.toStdString());
    if (type < 0) {
      std::fprintf(stderr, "tavrel-panel-shot: unknown model %s\n", qPrintable(model));
      status = 1;
      continue;
    }
    tavrel::cameraType = type;
    tavrel::CameraUnit camera;
    camera.InitTable();
    for (int i = 0; i < tavrel::kParameterCount; ++i) camera.ResetValue(i);
    tavrel::ParameterDocument document(camera);
    tavrel::ProfileStore profile(profileDir.filePath("profile.ini"));
    tavrel::CTavrelView view(document, profile);
    view.OnInitialUpdate();
    if (parser.isSet(serviceControls)) {
      for (int id : tavrel::panel::kServiceControls) tavrel::ui::FindControl(&view, id)->show();
    }
    view.show();
    const QString file = out.filePath("panel-" + QString(model).replace('/', '_') + ".png");
    if (!view.grab().save(file)) {
      std::fprintf(stderr, "tavrel-panel-shot: cannot write %s\n", qPrintable(file));
      status = 1;
      continue;
    }
    std::printf("%s\n", qPrintable(file));
  }
  return status;
}
