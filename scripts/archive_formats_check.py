"""Checks of the Android XML and HTML exports (scripts/test-archive-formats.sh).

  archive_formats_check.py crafted OUT.ipd            writes the crafted backup
  archive_formats_check.py FORMAT FILE RECORDS KIND   checks an export (KIND: crafted or plain)
  archive_formats_check.py dom DOM.html BROWSER.log   checks the page as the browser left it
"""
import base64
import hashlib
import html.parser
import re
import struct
import sys
import xml.etree.ElementTree as ET

DECLARATION = b"<?xml version='1.0' encoding='UTF-8' standalone='yes' ?>\n"
SMS_KEYS = ['protocol', 'address', 'date', 'type', 'subject', 'body', 'toa', 'sc_toa',
            'service_center', 'read', 'status', 'locked', 'date_sent', 'readable_date',
            'contact_name']
CALL_KEYS = ['number', 'duration', 'date', 'type', 'presentation', 'readable_date', 'contact_name']
FIXED_SMS = {'protocol': '0', 'subject': 'null', 'toa': 'null', 'sc_toa': 'null',
             'service_center': 'null', 'read': '1', 'status': '-1', 'locked': '0'}

# The crafted backup's texts.
EVE = '<b>Eve</b>'
EVE_LAST = 'O\'Neil & "Co"'
SCRIPT_TEXT = "<script>document.title='pwned'</script>"
IMG_TEXT = '<img src=x onerror="document.body.dataset.pwned=\'1\'"> "quotes" \'apos\' a&b'
ARABIC = '\u0645\u0631\u062d\u0628\u0627 <script>document.body.dataset.pwned=1</script>'
CONTROLS = '\u0001\u000b\u001b\uffff'
T0 = 1268640000000  # 2010-03-15 08:00 UTC


def fail(message):
    sys.exit('archive_formats_check: ' + message)


def le(value, width):
    return value.to_bytes(width, 'little')


def field(kind, data):
    return le(len(data), 2) + bytes([kind]) + data


def sms(sent, handheld_ms, other_ms, number, text_data):
    lead = bytearray(46)
    lead[0] = 0 if sent else 1
    lead[22 - 9:28 - 9] = le(handheld_ms, 6)
    lead[30 - 9:36 - 9] = le(other_ms, 6)
    return (field(1, bytes(lead)) + field(9, bytes(8)) + field(11, bytes([1, 0, 1, 0])) +
            field(2, bytes(4) + number.encode('ascii') + b'\0') + field(4, text_data))


def call(direction, seconds, ms, number):
    return (field(2, le(direction, 4)) + field(3, le(seconds, 4)) + field(4, le(ms, 8)) +
            field(6, le(0, 4)) + field(12, number.encode('ascii')))


def contact(first, last, mobile):
    return (field(32, first.encode('cp1252')) + field(32, last.encode('cp1252')) +
            field(8, mobile.encode('ascii')))


def write_crafted(path):
    names = ['SMS Messages', 'Address Book', 'Phone Call Logs']
    out = bytearray(b'Inter@ctive Pager Backup/Restore File\n\x02')
    out += struct.pack('>H', len(names)) + b'\0'
    for name in names:
        out += le(len(name) + 1, 2) + name.encode('ascii') + b'\0'
    records = [
        (1, 6, contact(EVE, EVE_LAST, '+44 7700 900123')),
        (1, 6, contact('Karim', '', '00961 71 555012')),
        (0, 5, sms(False, T0 + 5000, T0, '07700 900123', SCRIPT_TEXT.encode('ascii'))),
        (0, 5, sms(True, T0 + 60000, T0 + 61000, '+96171555012', IMG_TEXT.encode('ascii'))),
        (0, 5, sms(False, T0 + 120000, T0 + 119000, '+96171555012',
                   (ARABIC + CONTROLS + 'end').encode('utf-16-be'))),
        (0, 5, sms(False, T0 + 180000, T0 + 179000, '5550100', b'line one\r\nline two')),
        (2, 4, call(0, 125, T0, '+44 7700 900123')),
        (2, 4, call(1, 60, T0 + 1000, '0096171555012')),
        (2, 4, call(2, 0, T0 + 2000, '5550100')),
        (2, 4, call(7, 5, T0 + 3000, '5550100')),
    ]
    handle = 1
    for db, version, fields in records:
        body = le(handle, 2) + le(handle * 7, 4) + fields
        out += le(db, 2) + le(len(body) + 1, 4) + bytes([version]) + body
        handle += 1
    open(path, 'wb').write(bytes(out))


def check_xml(path, root_tag, element, keys, records):
    data = open(path, 'rb').read()
    if not data.startswith(DECLARATION):
        fail(path + ': the declaration is missing or differs')
    root = ET.fromstring(data)
    if root.tag != root_tag or list(root.attrib) != ['count']:
        fail(path + ': the root is not <%s count>' % root_tag)
    if int(root.get('count')) != len(root) or len(root) != records:
        fail('%s: count %s, %d elements, %d records written' %
             (path, root.get('count'), len(root), records))
    for e in root:
        if e.tag != element or list(e.attrib) != keys:
            fail('%s: <%s %s>' % (path, e.tag, ' '.join(e.attrib)))
        for key in ('date', 'date_sent', 'duration'):
            if key in e.attrib and not re.fullmatch(r'0|[1-9][0-9]*', e.get(key)):
                fail('%s: %s="%s"' % (path, key, e.get(key)))
        if e.get('date') != '0' and not e.get('readable_date'):
            fail(path + ': a dated element without readable_date')
        if not e.get('contact_name'):
            fail(path + ': an empty contact_name')
    return root


def check_sms(path, records, crafted):
    root = check_xml(path, 'smses', 'sms', SMS_KEYS, records)
    for e in root:
        for key, value in FIXED_SMS.items():
            if e.get(key) != value:
                fail('%s: %s="%s"' % (path, key, e.get(key)))
        if e.get('type') not in ('1', '2'):
            fail('%s: type="%s"' % (path, e.get('type')))
        if e.get('type') == '2' and e.get('date') != e.get('date_sent'):
            fail(path + ': a sent message whose date is not its sent date')
    if crafted:
        got = [(e.get('type'), e.get('date'), e.get('date_sent'), e.get('body'),
                e.get('contact_name')) for e in root]
        want = [
            ('1', str(T0 + 5000), str(T0), SCRIPT_TEXT, EVE + ' ' + EVE_LAST),
            ('2', str(T0 + 60000), str(T0 + 60000), IMG_TEXT, 'Karim'),
            ('1', str(T0 + 120000), str(T0 + 119000), ARABIC + 'end', 'Karim'),
            ('1', str(T0 + 180000), str(T0 + 179000), 'line one\r\nline two', '(Unknown)'),
        ]
        if got != want:
            fail('%s:\n got  %r\n want %r' % (path, got, want))


def check_calls(path, records, crafted):
    root = check_xml(path, 'calls', 'call', CALL_KEYS, records)
    for e in root:
        if e.get('type') not in ('1', '2', '3') or e.get('presentation') != '1':
            fail('%s: type="%s" presentation="%s"' % (path, e.get('type'), e.get('presentation')))
    if crafted:
        got = [(e.get('type'), e.get('duration'), e.get('date'), e.get('contact_name'))
               for e in root]
        want = [('1', '125', str(T0), EVE + ' ' + EVE_LAST), ('2', '60', str(T0 + 1000), 'Karim'),
                ('3', '0', str(T0 + 2000), '(Unknown)'), ('1', '5', str(T0 + 3000), '(Unknown)')]
        if got != want:
            fail('%s:\n got  %r\n want %r' % (path, got, want))


class Page(html.parser.HTMLParser):
    """What the checks need of a page: its tags, outside references, scripts and policy."""

    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags = []
        self.outside = []
        self.scripts = []
        self.policy = None
        self.in_script = False
        self.messages = 0
        self.entries = 0

    def handle_starttag(self, tag, attrs):
        attrs = dict(attrs)
        self.tags.append(tag)
        if tag in ('link', 'iframe', 'object', 'embed', 'base', 'frame'):
            self.outside.append(tag)
        for key in ('src', 'href', 'action', 'poster', 'srcset', 'data', 'formaction'):
            if key in attrs and not (attrs[key] or '').startswith('data:'):
                self.outside.append('%s %s=%s' % (tag, key, attrs[key]))
        if tag == 'meta' and attrs.get('http-equiv') == 'Content-Security-Policy':
            self.policy = attrs.get('content')
        if tag == 'script':
            self.in_script = True
            self.scripts.append('')
        if tag == 'div' and 'm' in (attrs.get('class') or '').split():
            self.messages += 1
        if tag == 'li':
            self.entries += 1

    def handle_endtag(self, tag):
        if tag == 'script':
            self.in_script = False

    def handle_data(self, data):
        if self.in_script:
            self.scripts[-1] += data


def check_html(path, records, crafted):
    text = open(path, encoding='utf-8').read()
    page = Page()
    page.feed(text)
    if not text.startswith('<!DOCTYPE html>') or page.outside:
        fail('%s: not a page of its own: %s' % (path, page.outside))
    if re.search(r'url\(|@import', text.split('</style>')[0]):
        fail(path + ': the style sheet refers outside')
    if len(page.scripts) != 1 or not page.policy:
        fail(path + ': one script and a security policy expected')
    digest = base64.b64encode(hashlib.sha256(page.scripts[0].encode()).digest()).decode()
    if "'sha256-%s'" % digest not in page.policy or "default-src 'none'" not in page.policy:
        fail("%s: the policy does not name the script ('sha256-%s'): %s" %
             (path, digest, page.policy))
    if page.messages + page.entries != records:
        fail('%s: %d messages and %d entries for %d records' %
             (path, page.messages, page.entries, records))
    if crafted:
        for raw in ("<script>document.title", '<img src=x', '<b>Eve'):
            if raw in text:
                fail('%s: %r written as markup' % (path, raw))
        for shown in ('&lt;script&gt;document.title=&#39;pwned&#39;&lt;/script&gt;',
                      '&lt;b&gt;Eve&lt;/b&gt; O&#39;Neil &amp; &quot;Co&quot;', 'Karim',
                      '5550100', 'UTC+3'):
            if shown not in text:
                fail('%s: %r not shown' % (path, shown))
        if re.search('[\x00-\x08\x0b\x0c\x0e-\x1f\ufffe\uffff]', text):
            fail(path + ': a control character')


def check_dom(path, log):
    dom = open(path, encoding='utf-8').read()
    messages = [line for line in open(log, encoding='utf-8', errors='replace')
                if 'CONSOLE' in line or 'Refused to' in line or 'Uncaught' in line]
    if messages:
        fail('the page logged:\n' + ''.join(messages))
    body = re.search(r'<body[^>]*>', dom)
    if not body or 'data-ready="1"' not in body.group(0):
        fail("the page's own script did not run")
    if 'pwned' in body.group(0) or re.search(r'<title>[^<]*pwned', dom):
        fail('a script from a message ran')
    if '<title>crafted.ipd</title>' not in dom:
        fail('the title changed')


def main(args):
    if args[0] == 'crafted':
        write_crafted(args[1])
    elif args[0] == 'dom':
        check_dom(args[1], args[2])
    else:
        checks = {'android-sms': check_sms, 'android-calls': check_calls, 'html': check_html}
        checks[args[0]](args[1], int(args[2]), args[3] == 'crafted')


main(sys.argv[1:])
