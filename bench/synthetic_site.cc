#include "bench/synthetic_site.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string_view>

namespace vorlintex::bench {
namespace {

// splitmix64: small, fast and the same on every platform.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint64_t Next() {
    uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
  }
  // A number from `low` to `high`, both included.
  size_t Between(size_t low, size_t high) { return low + Next() % (high - low + 1); }
  bool OneIn(int n) { return Next() % n == 0; }

 private:
  uint64_t state_;
};

// Appends lines ending in CR LF.
class Text {
 public:
  void Line(std::string_view line) {
    text_.append(line);
    text_.append("\r\n");
  }
  void Append(const std::string& block) { text_.append(block); }
  size_t size() const { return text_.size(); }
  std::string Take() { return std::move(text_); }

 private:
  std::string text_;
};

std::string Number(size_t n) { return std::to_string(n); }

const char* const kWords[] = {"order",   "basket",  "delivery", "price",    "stock",  "customer",
                              "invoice", "account", "product",  "category", "review", "payment",
                              "address", "voucher", "shipping", "return",   "member", "catalogue"};

std::string Sentence(Random& random, int words) {
  std::string s;
  for (int i = 0; i < words; ++i) {
    if (i > 0) s += ' ';
    s += kWords[random.Next() % (sizeof kWords / sizeof kWords[0])];
  }
  s[0] = static_cast<char>(s[0] - 32);
  return s;
}

std::string HeaderInclude() {
  Text t;
  t.Line("<div id=\"header\">");
  t.Line(
      "\t<a href=\"<%= Application(\"root\") %>/default.asp\"><img src=\"/img/logo.gif\" "
      "alt=\"Home\" border=\"0\"></a>");
  t.Line("\t<span class=\"greeting\">Welcome, <%= Session(\"username\") %></span>");
  t.Line("<%");
  t.Line("If Len(Session(\"username\")) = 0 Then");
  t.Line("\tResponse.Write \"<a href=\"\"login.asp\"\">Sign in</a>\"");
  t.Line("Else");
  t.Line("\tResponse.Write \"<a href=\"\"logout.asp\"\">Sign out</a>\"");
  t.Line("End If");
  t.Line("%>");
  for (int i = 0; i < 12; ++i) {
    t.Line("\t<a class=\"menu\" href=\"section" + Number(i) +
           ".asp?from=<%= Server.URLEncode("
           "Request.ServerVariables(\"SCRIPT_NAME\")) %>\">Section " +
           Number(i) + "</a>");
  }
  t.Line("</div>");
  return t.Take();
}

std::string FooterInclude() {
  Text t;
  t.Line("<div id=\"footer\">");
  t.Line("\t<p>&copy; <%= Year(Now()) %> Example Shop Ltd. All rights reserved.</p>");
  t.Line(
      "\t<p>Page served at <%= Now() %> by <%= Request.ServerVariables(\"SERVER_NAME\") %>"
      "</p>");
  t.Line("\t<a href=\"privacy.asp\">Privacy</a> | <a href=\"terms.asp\">Terms</a>");
  t.Line("</div>");
  return t.Take();
}

std::string DbInclude() {
  Text t;
  t.Line("<%");
  t.Line("Dim conn");
  t.Line("Set conn = Server.CreateObject(\"ADODB.Connection\")");
  t.Line("conn.Open Application(\"ConnectionString\")");
  t.Line("");
  t.Line("Sub CloseDb()");
  t.Line("\tIf IsObject(conn) Then");
  t.Line("\t\tconn.Close");
  t.Line("\t\tSet conn = Nothing");
  t.Line("\tEnd If");
  t.Line("End Sub");
  t.Line("");
  t.Line("Function SqlText(value)");
  t.Line("\tSqlText = \"'\" & Replace(value, \"'\", \"''\") & \"'\"");
  t.Line("End Function");
  t.Line("%>");
  return t.Take();
}

std::string FunctionsInclude() {
  Text t;
  t.Line("<%");
  for (int i = 0; i < 8; ++i) {
    t.Line("Sub WriteCell" + Number(i) + "(value, css)");
    t.Line("\tResponse.Write \"<td class=\"\"\" & css & \"\"\">\"");
    t.Line("\tIf IsNull(value) Then");
    t.Line("\t\tResponse.Write \"&nbsp;\"");
    t.Line("\tElse");
    t.Line("\t\tResponse.Write Server.HTMLEncode(value)");
    t.Line("\tEnd If");
    t.Line("\tResponse.Write \"</td>\"");
    t.Line("End Sub");
    t.Line("");
    t.Line("Function RowColor" + Number(i) + "(n)");
    t.Line("\tIf n Mod 2 = 0 Then RowColor" + Number(i) + " = \"#F0F0F0\" Else RowColor" +
           Number(i) + " = \"#FFFFFF\"");
    t.Line("End Function");
    t.Line("");
  }
  t.Line("%>");
  return t.Take();
}

std::string NavInclude() {
  Text t;
  t.Line("<table class=\"nav\" cellpadding=\"2\">");
  for (int i = 0; i < 10; ++i) {
    t.Line("\t<tr><td><a href=\"list.asp?cat=" + Number(i) + "\" <% If Request(\"cat\") = \"" +
           Number(i) + "\" Then Response.Write \"class=\"\"current\"\"\" %>>Category " + Number(i) +
           "</a></td></tr>");
  }
  t.Line("</table>");
  return t.Take();
}

struct IncludeFile {
  const char* name;
  std::string (*make)();
};

const IncludeFile kIncludes[] = {{"header.inc", HeaderInclude},
                                 {"footer.inc", FooterInclude},
                                 {"db.inc", DbInclude},
                                 {"functions.inc", FunctionsInclude},
                                 {"nav.inc", NavInclude}};

std::string TableBlock(Random& random, size_t n) {
  Text t;
  std::string id = Number(n);
  t.Line("<table class=\"grid\" width=\"100%\" id=\"grid" + id + "\">");
  t.Line("\t<tr>");
  t.Line("\t\t<th>Name</th><th>Price</th><th>Stock</th>");
  t.Line("\t</tr>");
  t.Line("<%");
  t.Line("sql = \"SELECT id, name, price, stock FROM products WHERE category = \" & " +
         Number(random.Between(1, 99)));
  t.Line("Set rs = conn.Execute(sql)");
  t.Line("i = 0");
  t.Line("Do While Not rs.EOF");
  t.Line("%>");
  t.Line("\t<tr bgcolor=\"<%= RowColor" + Number(n % 8) + "(i) %>\">");
  t.Line("\t\t<td><a href=\"product.asp?id=<%= rs(\"id\") %>&amp;cat=" + id +
         "\"><%= Server.HTMLEncode(rs(\"name\")) %></a></td>");
  t.Line("\t\t<td align=\"right\"><%= FormatPrice(rs(\"price\")) %></td>");
  t.Line("\t\t<% WriteCell" + Number(n % 8) + " rs(\"stock\"), \"stock\" %>");
  t.Line("\t</tr>");
  t.Line("<%");
  t.Line("\trs.MoveNext");
  t.Line("\ti = i + 1");
  t.Line("Loop");
  t.Line("rs.Close");
  t.Line("%>");
  t.Line("</table>");
  return t.Take();
}

std::string ProseBlock(Random& random) {
  Text t;
  t.Line("<h2>" + Sentence(random, 3) + "</h2>");
  int paragraphs = static_cast<int>(random.Between(1, 4));
  for (int i = 0; i < paragraphs; ++i) {
    t.Line("<p>" + Sentence(random, static_cast<int>(random.Between(6, 20))) +
           ", <%= Session(\"username\") %>. You have <%= total %> items; " +
           Sentence(random, static_cast<int>(random.Between(4, 12))) + ".</p>");
  }
  t.Line("\t\t<p class=\"note\">Delivery is free above <%= FormatPrice(50) %>.</p>");
  return t.Take();
}

std::string FormBlock(Random& random) {
  Text t;
  t.Line("<form method=\"post\" action=\"<%= Request.ServerVariables(\"SCRIPT_NAME\") %>\">");
  t.Line("\t<input type=\"hidden\" name=\"step\" value=\"" + Number(random.Between(1, 9)) + "\">");
  t.Line(
      "\t<input type=\"text\" name=\"q\" value=\"<%= Server.HTMLEncode(Request(\"q\")) %>\" "
      "size=\"30\">");
  t.Line("\t<select name=\"sort\">");
  t.Line(
      "\t\t<option value=\"name\" <% If Request(\"sort\") = \"name\" Then %>selected<% End If "
      "%>>Name</option>");
  t.Line("\t\t<option value=\"price\">Price</option>");
  t.Line("\t</select>");
  t.Line("\t<input type=\"submit\" value=\"Search\">");
  t.Line("</form>");
  return t.Take();
}

std::string ProcedureBlock(size_t n) {
  Text t;
  std::string id = Number(n);
  t.Line("<%");
  t.Line("Sub ShowBox" + id + "(title, body)");
  t.Line("\tResponse.Write \"<div class=\"\"box\"\"><h3>\" & title & \"</h3>\"");
  t.Line("\tResponse.Write body");
  t.Line("");
  t.Line("\tResponse.Write \"</div>\"");
  t.Line("End Sub");
  t.Line("%>");
  t.Line("<% ShowBox" + id + " \"News\", \"Nothing new today.\" %>");
  return t.Take();
}

std::string ConditionBlock() {
  Text t;
  t.Line("<% If Session(\"admin\") = True Then %>");
  t.Line("\t<a href=\"admin.asp\">Administration</a>");
  t.Line("<% Else %>");
  t.Line("\t<span class=\"guest\">Guest</span>");
  t.Line("<% End If %>");
  return t.Take();
}

std::string PageName(Random& random, int index) {
  static const char* const kStems[] = {"products", "orders", "customer", "report",  "default",
                                       "search",   "basket", "news",     "account", "admin"};
  char digits[16];
  std::snprintf(digits, sizeof digits, "%05d", index);
  std::string name = std::string(kStems[random.Next() % 10]) + digits + ".asp";
  // Pages copied from a Windows server often carry capitals.
  if (index % 10 == 0) name[0] = static_cast<char>(name[0] - 32);
  return name;
}

PageInfo MakePage(Random& random, int index, size_t minimum, size_t target, std::string* bytes) {
  PageInfo page;
  page.name = PageName(random, index);
  Text t;
  t.Line("<%@ Language=VBScript %>");
  t.Line("<% Option Explicit %>");
  t.Line("<!-- #include file=\"db.inc\" -->");
  t.Line("<!-- #include file=\"functions.inc\" -->");
  page.includes = {"db.inc", "functions.inc"};
  t.Line("<%");
  t.Line("Dim rs, sql, i, total");
  t.Line("Dim PageTitle");
  t.Line("PageTitle = \"Page " + Number(index) + "\"");
  t.Line("total = Session(\"items\")");
  t.Line("%>");
  t.Line("<html>");
  t.Line("<head>");
  t.Line("\t<title><%= PageTitle %></title>");
  t.Line("\t<link rel=\"stylesheet\" href=\"<%= Application(\"root\") %>/site.css\">");
  t.Line("<script language=\"VBScript\" runat=\"server\">");
  t.Line("Function FormatPrice(value)");
  t.Line("\tFormatPrice = FormatCurrency(value, 2)");
  t.Line("End Function");
  t.Line("</script>");
  t.Line("</head>");
  t.Line("<body bgcolor=\"#FFFFFF\">");
  t.Line("<!-- #include file=\"header.inc\" -->");
  page.includes.push_back("header.inc");
  if (random.OneIn(2)) {
    // Directives written on Windows do not always match the file's letter case.
    t.Line(random.OneIn(2) ? "<!--#include virtual=\"Nav.inc\"-->"
                           : "<!-- #INCLUDE FILE=\"nav.inc\" -->");
    page.includes.push_back("nav.inc");
  }

  std::string foot;
  {
    Text f;
    f.Line("<!-- #include file=\"footer.inc\" -->");
    f.Line("</body>");
    f.Line("</html>");
    f.Line("<% CloseDb %>");
    foot = f.Take();
  }
  size_t blocks = 0;
  for (int misses = 0; misses < 4;) {
    std::string block;
    switch (random.Next() % 6) {
      case 0:
      case 1:
        block = TableBlock(random, blocks);
        break;
      case 2:
        block = ProseBlock(random);
        break;
      case 3:
        block = FormBlock(random);
        break;
      case 4:
        block = ProcedureBlock(blocks);
        break;
      default:
        block = ConditionBlock();
        break;
    }
    if (t.size() + block.size() + foot.size() > target) {
      ++misses;
      continue;
    }
    t.Append(block);
    ++blocks;
  }
  while (t.size() + foot.size() < minimum) {
    t.Line("<p>" + Sentence(random, 12) + " <%= total %>.</p>");
  }
  t.Append(foot);
  page.includes.push_back("footer.inc");
  *bytes = t.Take();
  page.bytes = bytes->size();
  return page;
}

}  // namespace

SiteManifest GenerateSite(const SiteOptions& options, const FileSink& sink) {
  SiteManifest manifest;
  for (const IncludeFile& include : kIncludes) {
    std::string bytes = include.make();
    manifest.include_files.push_back(include.name);
    manifest.include_bytes.push_back(bytes.size());
    sink(include.name, bytes);
  }
  Random random(options.seed);
  std::string bytes;
  for (int i = 1; options.total_page_bytes ? manifest.page_bytes < options.total_page_bytes
                                           : i <= options.pages;
       ++i) {
    size_t target = random.Between(options.min_page_bytes, options.max_page_bytes);
    PageInfo page = MakePage(random, i, options.min_page_bytes, target, &bytes);
    manifest.page_bytes += page.bytes;
    sink(page.name, bytes);
    manifest.pages.push_back(std::move(page));
  }
  return manifest;
}

SiteManifest WriteSite(const SiteOptions& options, const std::string& folder) {
  std::filesystem::create_directories(folder);
  return GenerateSite(options, [&](const std::string& name, const std::string& bytes) {
    std::ofstream out(folder + "/" + name, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + folder + "/" + name);
  });
}

}  // namespace vorlintex::bench
