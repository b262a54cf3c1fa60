// The entry points of the loading file reader, whose sections are read in reader/.
#include "loadfile/reader_parse.h"

#include "loadfile/reader/old_file_reader.h"

namespace loadfile {

ReadResult read(text::RecordSource& source, const ReadStart& start, ReadObserver* observer) {
  return reader::OldFileReader(source, start, observer).run();
}

ReadResult read(std::string_view bytes, const ReadStart& start, ReadObserver* observer) {
  text::RecordSource source(bytes);
  return read(source, start, observer);
}

}  // namespace loadfile
