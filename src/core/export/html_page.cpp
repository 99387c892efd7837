#include "export/html_page.h"

namespace orrelin {

// Narrow screens get one column; messages are bubbles, sent ones to the right. List entries out
// of view are not laid out until scrolled to, so long lists open quickly.
const std::string_view kHtmlStyle = R"CSS(
*{box-sizing:border-box}
body{margin:0;font:15px/1.4 system-ui,-apple-system,"Segoe UI",Roboto,sans-serif;color:#1b1b1b;background:#f3f4f6}
header{position:sticky;top:0;z-index:1;background:#234;color:#fff;padding:.6em 1em}
header h1{font-size:1.15em;margin:0 0 .2em;overflow-wrap:anywhere}
header p{margin:0 0 .4em;font-size:.85em;opacity:.85}
#q{width:100%;max-width:32em;font-size:1em;padding:.4em .6em;border-radius:.4em;border:0}
main{max-width:56em;margin:0 auto;padding:.5em}
section{background:#fff;border-radius:.5em;margin:.8em 0;padding:.5em .8em}
h2{font-size:1.05em;margin:.3em 0}
h2 small{font-weight:normal;color:#666}
details.c{border-top:1px solid #e3e3e3}
details.c>summary{cursor:pointer;padding:.5em .2em;font-weight:600;overflow-wrap:anywhere}
details.c>summary small{font-weight:normal;color:#666}
.t{display:flex;flex-direction:column;gap:.35em;padding:.3em 0 .8em}
.m{max-width:80%;padding:.45em .7em;border-radius:.9em;background:#e9e9eb;align-self:flex-start}
.m.o{background:#0b84ff;color:#fff;align-self:flex-end}
.m p{margin:0;white-space:pre-wrap;overflow-wrap:anywhere}
.m time{display:block;font-size:.75em;opacity:.75;margin-top:.2em}
ul.l{list-style:none;margin:0;padding:0}
ul.l>li{border-top:1px solid #e3e3e3;padding:.5em .2em;overflow:hidden;content-visibility:auto;contain-intrinsic-size:auto 10em}
ul.l h3{font-size:1em;margin:0 0 .2em;overflow-wrap:anywhere}
ul.l img{float:right;max-width:5em;max-height:5em;border-radius:.4em;margin-left:.5em}
dl{margin:0;display:grid;grid-template-columns:max-content 1fr;gap:.1em .8em;font-size:.9em}
dt{color:#666}
dd{margin:0;white-space:pre-wrap;overflow-wrap:anywhere}
.hidden{display:none!important}
#none{color:#666;padding:1em}
)CSS";

// Filters what is shown as the search box changes: a message, a list entry or a conversation
// stays when its text holds every word typed; conversations with a hit open.
const std::string_view kHtmlScript = R"JS(
(function () {
  var box = document.getElementById('q');
  var none = document.getElementById('none');
  var entries = Array.prototype.slice.call(document.querySelectorAll('.m, ul.l>li'));
  var talks = Array.prototype.slice.call(document.querySelectorAll('details.c'));
  var sections = Array.prototype.slice.call(document.querySelectorAll('main>section'));
  var texts = null;
  function lower(e) { return e.textContent.toLowerCase(); }
  function apply() {
    var words = box.value.toLowerCase().split(/\s+/).filter(function (w) { return w; });
    if (texts === null) texts = entries.map(lower);
    function hit(t) { return words.every(function (w) { return t.indexOf(w) >= 0; }); }
    var shown = 0;
    talks.forEach(function (c) {
      var titleHit = words.length > 0 && hit(lower(c.querySelector('summary')));
      c.dataset.title = titleHit ? '1' : '';
    });
    entries.forEach(function (e, i) {
      var c = e.classList.contains('m') ? e.closest('details.c') : null;
      var keep = hit(texts[i]) || (c !== null && c.dataset.title === '1');
      e.classList.toggle('hidden', !keep);
      if (keep) shown++;
    });
    talks.forEach(function (c) {
      var any = c.querySelector('.m:not(.hidden)') !== null;
      c.classList.toggle('hidden', !any);
      if (words.length > 0) c.open = any;
    });
    sections.forEach(function (s) {
      var any = s.querySelector('.m:not(.hidden), ul.l>li:not(.hidden)') !== null;
      s.classList.toggle('hidden', !any && words.length > 0);
    });
    none.classList.toggle('hidden', shown > 0 || entries.length === 0);
  }
  var timer = 0;
  box.addEventListener('input', function () {
    clearTimeout(timer);
    timer = setTimeout(apply, entries.length > 2000 ? 250 : 60);
  });
  // A link to the page ending in #open shows every conversation open.
  if (location.hash === '#open') talks.forEach(function (c) { c.open = true; });
  document.body.dataset.ready = '1';
})();
)JS";

const std::string_view kHtmlScriptHash = "sha256-ghOXNLNPmOJKkdwxKMAxHhO8kwgM9jyIS696Oi0CDiA=";

}  // namespace orrelin
