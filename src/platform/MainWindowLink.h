#pragma once

namespace tessary {

class FigureFile;

// What a pane's file tells the window that holds it.
class MainWindowLink {
  public:
    virtual ~MainWindowLink() = default;
    // Called at the end of every successful load.
    virtual void OnFileLoaded(FigureFile& file) = 0;
};

}  // namespace tessary
