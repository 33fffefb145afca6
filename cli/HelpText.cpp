#include "cli/HelpText.h"

namespace cli {

std::string helpText()
{
    return R"(Usage: quillet-send CONNECTION [OPTION]... COMMAND [ARGUMENT]
  or:  quillet-send status --targets FILE [--jobs N] [--prometheus FILE] [OPTION]...
  or:  quillet-send --list
Send the test actions of Quillet, status queries or prepared ESC/POS files to a
receipt printer, without a window.

Connection (exactly one):
      --com PORT[:BAUD[,FRAMING][,FLOW]]  serial port, such as ttyUSB0:19200,8N1,rtscts;
                          PORT as the port list shows it, COMn, or a path; FRAMING
                          is data bits, parity (N E O M S) and stop bits (1 1.5 2);
                          FLOW is rtscts, xonxoff, dtrdsr or none
                          (default 19200,8N1,rtscts, as the window's port)
      --lpt DEVICE        LPT1 to LPT4 (/dev/lpN, or /dev/usb/lpN when only that
                          exists), or a device path used as it is; only
                          character devices and FIFOs are written
      --net ADDRESS[:9100]  network printer at an IPv4 address, port 9100
      --usb VID:PID[:SERIAL] | BUS-ADDRESS  USB printer reached through libusb,
                          without the kernel's printer driver (see --list)
      --detach            with --usb: detach the kernel's driver that holds the
                          printer while sending, and attach it again after

Commands:
  print-test TEXT|-       ESC @, the text, CR LF, ESC @ (- reads the text from
                          standard input); line breaks become CR LF
  print-text TEXT|-       the text in the printer's code table (ESC t n), with
                          --code-table or --profile; characters no chosen table
                          has are sent as ? and listed on standard error
  capability-page         print the numbered test items of the printer's
                          capabilities: code tables, ESC R sets, styles, one image
                          three ways, barcodes, QR and PDF417 codes, cuts
  cut                     partial cut after feeding (GS V 66 0)
  drawer                  kick the cash drawer on pin 2 (ESC p 0 50 50, CR)
  status                  ask DLE EOT 1 to 4 and GS I 1 to 3 and decode the answers
  recover                 after a recoverable error: DLE ENQ 1 (print again from
                          the line where it stopped), then the status as above
  raw FILE|-              send the bytes of FILE (or standard input, each piece as
                          it arrives) as they are

Options:
      --hex               write the transcript of the bytes sent and received,
                          commands named, to standard error
      --json              status, recover: write the answers, or why there are none, as one
                          JSON object
      --watch SECONDS     status: turn on automatic status back (GS a 15) for
                          SECONDS and write each message the printer sends as
                          one JSON line; GS a 0 turns it off at the end or
                          on Ctrl-C
      --clear             recover: DLE ENQ 2 instead, clearing the printer's
                          buffers first (what was waiting is not printed)
      --timeout MS        status, recover: wait MS milliseconds for each answer (default 500;
                          connecting to a network printer waits 5 s whatever)
      --wait SECONDS      try a busy serial port or line printer again until it is
                          free, for up to SECONDS (default 0: once)
      --encoding CODEPAGE print-test: the text's code page as iconv names it
                          (default WINDOWS-1252, as the window sends)
      --code-table TABLE  print-text: the table by number or name (16, WPC1252, CP1252)
      --profile FILE      print-text: the tables of a printer profile (JSON), each
                          character in the first table that has it
      --code-tables LIST  capability-page: tables by number or name, separated by
                          commas, or all (default 0-5,16-19,45-48,255)
      --targets FILE      status of many printers: one connection a line of FILE
                          ("--net 192.0.2.10", # comments), one JSON line each
      --jobs N            with --targets: N checks at once (default 16)
      --prometheus FILE   with --targets: also write the results for node_exporter's
                          textfile collector, replacing FILE at once
      --list              list serial ports, line printers and USB printers
  -h, --help              display this help and exit
      --version           output version information and exit

Exit status:
 0  done; for status, the printer is ready
 1  the command line cannot be run, or --lpt names no device (nothing was
    opened)
 2  the connection or the input/output failed (standard output included)
 3  the printer answered with a fault (offline, paper end, cover open, error)
 4  a status query got no answer; with --watch, no message came
)";
}

std::string versionText()
{
    return "quillet-send (Quillet) " QUILLET_VERSION "\n";
}

} // namespace cli
