#include "string_file.h"

TStringFile::TStringFile(const std::filesystem::path& fileName, unsigned codePage,
                         std::size_t bufferSize)
    : m_stream(std::make_unique<TFileStream>(fileName)),
      m_reader(std::make_unique<TTextReader>(m_stream.get(), codePage, false, bufferSize)) {}
