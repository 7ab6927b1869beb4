#include "html/page_head.h"

namespace vorlintex::html {

void WritePageHead(PageWriter& page) {
  page.Line("<HTML>");
  page.Line("<HEAD>");
  page.Line("<META NAME=\"GENERATOR\" Content=\"Microsoft Developer Studio\">");
  page.Line("<META HTTP-EQUIV=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">");
  page.Line("<TITLE>ASP Component VB Dll Generation</TITLE>");
  page.Line("</HEAD>");
  page.Line("<BODY background=\"morvanebg.gif\">");
}

}  // namespace vorlintex::html
