#include "engine/image_builder.h"

#include "engine/directory_utils.h"

namespace kc::engine {

CImageBuilder::CImageBuilder(ProgressView& progress, Window& mainWindow)
    : progress_(progress), mainWindow_(mainWindow) {}

bool IsStagedStem(const std::string& stem) {
  return stem == "as" || stem == "lume" || stem == "vue";
}

void CImageBuilder::Repaint() {
  progress_.UpdateWindow();
  mainWindow_.UpdateWindow();
}

void CImageBuilder::BeginStage(const char* text, int upper) {
  progress_.SetPos(0);
  progress_.SetStatusText(text);
  progress_.SetRange(0, upper);
  progress_.SetStep(1);
}

void CImageBuilder::StepProgress() {
  progress_.StepIt();
}

void CImageBuilder::RecordImage(const std::string& kind, const std::string& imageDirectory) {
  ImageResult image;
  image.kind = kind;
  image.directory = imageDirectory;
  if (!image.directory.empty() && image.directory.back() == '\\') image.directory.pop_back();
  const DirectorySize size = MeasureDirectory(image.directory);
  image.files = size.files;
  image.bytes = size.bytes;
  report_.AddImage(std::move(image));
}

}  // namespace kc::engine
