#!/usr/bin/env python3
"""Reads an mboxrd file the way a mail program would and checks every message.

  check-mbox.py FILE [--json]

Each message must parse without defects under the email package's modern policy, carry From,
MIME-Version, Content-Transfer-Encoding and a text/plain or text/html body in UTF-8, and
have headers that decode. With --json the messages are printed as a JSON list of
{from, to, cc, bcc, reply_to, sender, subject, message_id, date, content_type, encoding, body},
the body with the mboxrd quoting undone. Exit status 1 and a line on standard error for the
first message that fails.
"""
import email
import email.policy
import json
import mailbox
import re
import sys

QUOTED_FROM = re.compile(rb'^>(>*From )', re.MULTILINE)


def unquote_body(raw):
    """Removes one '>' from body lines that match ^>+From , as an mboxrd reader does."""
    ends = [raw.find(b'\n\n') + 2, raw.find(b'\r\n\r\n') + 4]
    ends = [end for end in ends if end > 3]
    if not ends:
        return raw
    cut = min(ends)
    return raw[:cut] + QUOTED_FROM.sub(rb'\1', raw[cut:])


def check(path, want_json):
    box = mailbox.mbox(path, create=False)
    messages = []
    for n, key in enumerate(box.iterkeys(), 1):
        raw = unquote_body(box.get_bytes(key))
        msg = email.message_from_bytes(raw, policy=email.policy.default)

        def fail(why):
            sys.stderr.write('message %d: %s\n' % (n, why))
            sys.exit(1)

        if msg.defects:
            fail('defects %r' % msg.defects)
        for name in ('From', 'MIME-Version', 'Content-Type', 'Content-Transfer-Encoding'):
            if msg[name] is None:
                fail('no %s header' % name)
        values = {}
        for name in ('From', 'To', 'Cc', 'Bcc', 'Reply-To', 'Sender', 'Subject', 'Message-ID',
                     'Date'):
            header = msg[name]
            if header is None:
                values[name] = None
                continue
            if getattr(header, 'defects', None):
                fail('%s: defects %r' % (name, header.defects))
            text = str(header)
            if '=?' in text:
                fail('%s: an encoded word left undecoded: %r' % (name, text))
            values[name] = text
        if msg.get_content_type() not in ('text/plain', 'text/html'):
            fail('content type %s' % msg.get_content_type())
        if msg.get_content_charset() != 'utf-8':
            fail('charset %s' % msg.get_content_charset())
        try:
            body = msg.get_content()
        except (LookupError, UnicodeError) as error:
            fail('body does not decode: %s' % error)
        messages.append({
            'from': values['From'], 'to': values['To'], 'cc': values['Cc'],
            'bcc': values['Bcc'], 'reply_to': values['Reply-To'], 'sender': values['Sender'],
            'subject': values['Subject'], 'message_id': values['Message-ID'],
            'date': values['Date'], 'content_type': msg.get_content_type(),
            'encoding': msg['Content-Transfer-Encoding'], 'body': body,
        })
    if want_json:
        json.dump(messages, sys.stdout, ensure_ascii=False)
    else:
        print('%d messages' % len(messages))


def main():
    args = sys.argv[1:]
    want_json = '--json' in args
    files = [a for a in args if a != '--json']
    if len(files) != 1:
        sys.stderr.write(__doc__)
        return 2
    check(files[0], want_json)
    return 0


if __name__ == '__main__':
    sys.exit(main())
