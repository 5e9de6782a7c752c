// CFileGroupCommon: the root of the grouping classes. Every object of the
// family owns one group document, created with the "=" separator so that a
// group file saved from scratch reads "key=value".
#pragma once

#include "formats/ini_document.h"
#include "grouping/group_document.h"

namespace hf {

class CFileGroupCommon {
 public:
  CFileGroupCommon();
  virtual ~CFileGroupCommon();

  CFileGroupCommon(const CFileGroupCommon&) = delete;
  CFileGroupCommon& operator=(const CFileGroupCommon&) = delete;

  CIniDocument& document() { return document_; }
  const CIniDocument& document() const { return document_; }

  // The typed group-file accessors over the own document.
  CGroupDocument group() { return CGroupDocument(document_); }
  CGroupDocumentReader group() const { return CGroupDocumentReader(document_); }

 private:
  CIniDocument document_;
};

}  // namespace hf
