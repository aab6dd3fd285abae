<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ja" sourcelanguage="en">
<context>
    <name>TessivaBatch</name>
    <message>
        <source>Show this help.</source>
        <translation>このヘルプを表示します。</translation>
    </message>
    <message>
        <source>Show the version.</source>
        <translation>バージョンを表示します。</translation>
    </message>
    <message>
        <source>Conversion, one of %1 (the first is the default).</source>
        <translation>変換の種類: %1 のいずれか (最初のものが既定)。</translation>
    </message>
    <message>
        <source>Destination folder of the converted drawings.</source>
        <translation>変換した図面を置く変換先フォルダ。</translation>
    </message>
    <message>
        <source>AutoCAD folder, the folder that holds DXFIX.EXE.</source>
        <translation>AutoCAD のフォルダ (DXFIX.EXE のあるフォルダ)。</translation>
    </message>
    <message>
        <source>DXFIX parameter file of the R13 to R12 step.</source>
        <translation>R13→R12 の段階で使う DXFIX のパラメータファイル。</translation>
    </message>
    <message>
        <source>DXFIX parameter file of the R12 to GX3 step.</source>
        <translation>R12→GX3 の段階で使う DXFIX のパラメータファイル。</translation>
    </message>
    <message>
        <source>Output format: %1 (default) or %2.</source>
        <translation>出力形式: %1 (既定) か %2。</translation>
    </message>
    <message>
        <source>Precision of ASCII output, %1 to %2 (default %3).</source>
        <translation>ASCII 出力の精度、%1 から %2 (既定 %3)。</translation>
    </message>
    <message>
        <source>The batch file to write (a .BAT name); standard output when left out.</source>
        <translation>書き出すバッチファイル (.BAT の名前)。省くと標準出力に書きます。</translation>
    </message>
    <message>
        <source>Read sources one per line from &lt;file&gt; (&quot;-&quot;: standard input). Given more than once, the lists are read in order.</source>
        <translation>&lt;file&gt; から変換元を 1 行に 1 つずつ読みます ("-" は標準入力)。複数回指定すると、指定の順に読みます。</translation>
    </message>
    <message>
        <source>Encoding of the lists: %1 (default: each list whole in the one it is text of, UTF-8 after a byte-order mark; a list that reads as other names in each is refused), %2 or %3.</source>
        <translation>リストの文字コード: %1 (既定: リスト全体を、そのリストが正しく読める方の文字コードで読みます。バイトオーダーマークがあれば UTF-8。どちらでも読めて、読み方によって別の名前になるリストは断ります)、%2、%3 のいずれか。</translation>
    </message>
    <message>
        <source>Convert a drawing tree: every source lies under &lt;root&gt;, and each drawing goes to the same folder below the destination folder; the batch file makes the folders.</source>
        <translation>図面のツリーを変換します: すべての変換元は &lt;root&gt; の下にあり、各図面は変換先フォルダの下の同じ位置のフォルダへ変換されます。フォルダはバッチファイルが作ります。</translation>
    </message>
    <message>
        <source>Convert a drawing only when its destination does not exist yet, so that running the batch file again goes on where it stopped.</source>
        <translation>変換先がまだないときだけ図面を変換します。バッチファイルをもう一度実行すると、止まったところから続きます。</translation>
    </message>
    <message>
        <source>With --skip-existing, --report or --jobs: take a converter that ends with any status but 0 as failed, and delete its output. Only for a converter known to report failure that way.</source>
        <translation>--skip-existing、--report か --jobs と共に: 0 以外の終了ステータスで終わった変換を失敗とみなし、その出力を削除します。失敗を終了ステータスで知らせるとわかっている変換プログラムにだけ使ってください。</translation>
    </message>
    <message>
        <source>Take the defaults from this settings file instead of the window&apos;s.</source>
        <translation>ウィンドウの設定ファイルの代わりに、この設定ファイルから既定値を取ります。</translation>
    </message>
    <message>
        <source>Writes the DOS batch file that runs AutoCAD&apos;s DXFIX.EXE once for every source
drawing, exactly as the Tessiva window does. The folders and parameter file
names default to the ones last set in the window.</source>
        <translation>変換元の図面ごとに AutoCAD の DXFIX.EXE を 1 回実行する DOS バッチファイルを、
Tessiva のウィンドウとまったく同じに書き出します。フォルダとパラメータファイル名の
既定値は、ウィンドウで最後に設定したものです。</translation>
    </message>
    <message>
        <source>Exit status:</source>
        <translation>終了ステータス:</translation>
    </message>
    <message>
        <source>the batch file was written</source>
        <translation>バッチファイルを書きました</translation>
    </message>
    <message>
        <source>wrong arguments, a source list or settings file that cannot be read</source>
        <translation>引数の誤り、または読めない変換元リストか設定ファイル</translation>
    </message>
    <message>
        <source>no source file given, or a wildcard that matches no file</source>
        <translation>変換元ファイルが指定されていない、またはワイルドカードに当てはまるファイルがない</translation>
    </message>
    <message>
        <source>no destination folder given</source>
        <translation>変換先フォルダが指定されていない</translation>
    </message>
    <message>
        <source>no AutoCAD folder given</source>
        <translation>AutoCAD のフォルダが指定されていない</translation>
    </message>
    <message>
        <source>a source is not a .DXF file</source>
        <translation>.DXF ファイルでない変換元がある</translation>
    </message>
    <message>
        <source>a source lies in a folder that drawings are converted into</source>
        <translation>図面の変換先になるフォルダに変換元がある</translation>
    </message>
    <message>
        <source>a text the batch file cannot carry: a character code page 932 cannot hold, a control character (a line break, say) or one no Windows name holds (&quot; * ? &lt; &gt; |), a name Windows reads as another (a part ending in a dot or a blank, a device such as CON or COM1, a \ or : inside a name, a name shaped like a short name such as PLANNI~1.DXF), or a path longer than the converter takes (%1 bytes)</source>
        <translation>バッチファイルに書けない文字: コードページ 932 にない文字、制御文字 (改行など)、Windows の名前に使えない文字 (" * ? &lt; &gt; |)、Windows が別の名前として読む名前 (末尾がピリオドか空白の部分、CON や COM1 などのデバイス名、名前の中の \ か :、PLANNI~1.DXF のような短い名前の形の名前)、または変換プログラムが扱える長さ (%1 バイト) を超えるパス</translation>
    </message>
    <message>
        <source>two sources would be converted onto one drawing, or two names would be one to Windows (folders, or a drawing and a folder, of two cases under Z:; a folder made where a file is written, deleted or moved, or where a checked run keeps its work folder)</source>
        <translation>2 つの変換元が 1 つの図面に変換される、または Windows には 1 つの名前になる (Z: の下で大文字小文字だけが違うフォルダどうし、または図面とフォルダ。ファイルを書く・削除する・移動する名前か、確かめる実行の作業フォルダの名前のフォルダを作ることになる)</translation>
    </message>
    <message>
        <source>the output path does not end in .BAT, or, with --jobs, its folder&apos;s name holds a %</source>
        <translation>出力先のパスが .BAT で終わっていない、または --jobs で出力先のフォルダ名に % がある</translation>
    </message>
    <message>
        <source>the output file or standard output cannot be written</source>
        <translation>出力ファイルか標準出力に書けない</translation>
    </message>
    <message>
        <source>with --tree, a source that does not lie under the root</source>
        <translation>--tree で、ルートの下にない変換元がある</translation>
    </message>
    <message>
        <source>source argument %1</source>
        <translation>変換元の引数 %1</translation>
    </message>
    <message>
        <source>%1, line %2</source>
        <translation>%1 の %2 行目</translation>
    </message>
    <message>
        <source>standard input</source>
        <translation>標準入力</translation>
    </message>
    <message>
        <source>cannot read the list %1: %2</source>
        <translation>リスト %1 を読めません: %2</translation>
    </message>
    <message>
        <source>it is closed</source>
        <translation>閉じられています</translation>
    </message>
    <message>
        <source>UTF-8</source>
        <translation>UTF-8</translation>
    </message>
    <message>
        <source>code page 932</source>
        <translation>コードページ 932</translation>
    </message>
    <message>
        <source>UTF-8 or code page 932</source>
        <translation>UTF-8 でもコードページ 932 でも</translation>
    </message>
    <message>
        <source>%1, line %2: not %3 text (see --list-encoding)</source>
        <translation>%1 の %2 行目: %3 のテキストではありません (--list-encoding を参照)</translation>
    </message>
    <message>
        <source>%1, line %2 reads as &quot;%3&quot; in UTF-8 and as &quot;%4&quot; in code page 932: name the list&apos;s encoding with --list-encoding utf-8 or --list-encoding cp932</source>
        <translation>%1 の %2 行目は、UTF-8 では「%3」、コードページ 932 では「%4」と読めます: リストの文字コードを --list-encoding utf-8 か --list-encoding cp932 で指定してください</translation>
    </message>
    <message>
        <source>%1 is not in one encoding: line %2 is not UTF-8 text, line %3 not code page 932 text (see --list-encoding)</source>
        <translation>%1 は一つの文字コードで書かれていません: %2 行目は UTF-8 のテキストではなく、%3 行目はコードページ 932 のテキストではありません (--list-encoding を参照)</translation>
    </message>
    <message>
        <source>cannot read the settings file %1: %2</source>
        <translation>設定ファイル %1 を読めません: %2</translation>
    </message>
    <message>
        <source>unknown kind &apos;%1&apos; (one of %2)</source>
        <translation>変換の種類 '%1' はありません (%2 のいずれか)</translation>
    </message>
    <message>
        <source>unknown format &apos;%1&apos; (%2 or %3)</source>
        <translation>出力形式 '%1' はありません (%2 か %3)</translation>
    </message>
    <message>
        <source>unknown list encoding &apos;%1&apos; (%2, %3 or %4)</source>
        <translation>リストの文字コード '%1' はありません (%2、%3、%4 のいずれか)</translation>
    </message>
    <message>
        <source>--tree needs a folder</source>
        <translation>--tree にはフォルダが必要です</translation>
    </message>
    <message>
        <source>--check-exit-status goes with --skip-existing, --report or --jobs</source>
        <translation>--check-exit-status は --skip-existing、--report か --jobs と共に使います</translation>
    </message>
    <message>
        <source>--jobs takes a number from 1 to %1</source>
        <translation>--jobs には 1 から %1 までの数を指定します</translation>
    </message>
    <message>
        <source>Run &lt;n&gt; converters at once, 1 to 16 (default 1). With more than one the batch file reports its run as with --report, and needs a converter of which several may run at once: try it on a few drawings first.</source>
        <translation>変換プログラムを &lt;n&gt; 個同時に実行します (1 から 16、既定は 1)。2 以上では、バッチファイルは --report と同じく自らの実行結果を知らせます。同時に複数実行できる変換プログラムが必要です。まず少しの図面で試してください。</translation>
    </message>
    <message>
        <source>The batch file reports its run (for cmd.exe, Windows NT and later): each drawing's number and name on the console and in its title, each drawing's outcome in a report beside it (NAME.LOG), and exit status 1 when any drawing failed.</source>
        <translation>バッチファイルが自らの実行結果を知らせます (cmd.exe、Windows NT 以降用): 各図面の番号と名前をコンソールとタイトルに、各図面の結果をバッチファイルと同じ場所の報告ファイル (名前.LOG) に書き、失敗した図面があれば終了ステータス 1 で終わります。</translation>
    </message>
    <message>
        <source>Usage: </source>
        <translation>使い方: </translation>
    </message>
    <message>
        <source>Try &apos;%1 --help&apos;.</source>
        <translation>'%1 --help' で使い方を表示します。</translation>
    </message>
    <message>
        <source>cannot write standard output: </source>
        <translation>標準出力に書けません: </translation>
    </message>
    <message>
        <source>sources</source>
        <translation>変換元</translation>
    </message>
    <message>
        <source>[source...]</source>
        <translation>[変換元...]</translation>
    </message>
    <message>
        <source>Source DXF files.</source>
        <translation>変換元の DXF ファイル。</translation>
    </message>
    <message>
        <source>[options]</source>
        <translation>[オプション]</translation>
    </message>
    <message>
        <source>Options:</source>
        <translation>オプション:</translation>
    </message>
    <message>
        <source>Arguments:</source>
        <translation>引数:</translation>
    </message>
    <message>
        <source>it is longer than %1 MiB, the most the tool reads</source>
        <translation>このツールが読める %1 MiB を超えています</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>フォルダです</translation>
    </message>
    <message>
        <source>two sources would be converted onto one drawing, or a folder made where a file is written, deleted or moved, or where a checked run keeps its work folder</source>
        <translation>2 つの変換元が 1 つの図面に変換される、またはファイルを書く・削除する・移動する名前か、確かめる実行の作業フォルダの名前のフォルダを作ることになる</translation>
    </message>
    <message>
        <source>no file matches %1</source>
        <translation>%1 に当てはまるファイルがありません</translation>
    </message>
    <message>
        <source>Do not read the sources. By default each source this system can open is read before the batch file is written: one that is not there, cannot be read, is empty, is no drawing or is a DWG refuses the batch file (status 12); a DXF of another version than the conversion takes is a warning, and a run that reports says it is to be looked at.</source>
        <translation>変換元を読みません。既定では、このシステムで開ける変換元をバッチファイルを書く前に読みます。ない、読めない、空、図面でない、DWG である変換元があればバッチファイルを書きません (ステータス 12)。変換の取る版と違う版の DXF は警告にとどめ、実行結果を知らせるバッチファイルはその図面を要確認とします。</translation>
    </message>
    <message>
        <source>a source that is not there, cannot be read, is empty, is no drawing or is a DWG (each is named; --no-drawing-check reads none)</source>
        <translation>ない、読めない、空、図面でない、または DWG である変換元がある (それぞれを示します。--no-drawing-check では読みません)</translation>
    </message>
    <message>
        <source>not there</source>
        <translation>ありません</translation>
    </message>
    <message>
        <source>cannot be read: %1</source>
        <translation>読めません: %1</translation>
    </message>
    <message>
        <source>an empty file</source>
        <translation>空のファイルです</translation>
    </message>
    <message>
        <source>not a drawing</source>
        <translation>図面ではありません</translation>
    </message>
    <message>
        <source>a DWG drawing of %1, not a DXF</source>
        <translation>%1 の DWG で、DXF ではありません</translation>
    </message>
    <message>
        <source>a DXF that states no version ($ACADVER)</source>
        <translation>版 ($ACADVER) の書かれていない DXF です</translation>
    </message>
    <message>
        <source>a DXF of %1</source>
        <translation>%1 の DXF です</translation>
    </message>
    <message>
        <source>a binary DXF that states no version ($ACADVER)</source>
        <translation>版 ($ACADVER) の書かれていないバイナリ DXF です</translation>
    </message>
    <message>
        <source>a binary DXF of %1</source>
        <translation>%1 のバイナリ DXF です</translation>
    </message>
    <message>
        <source>warning: %1%2; %3 converts a DXF of %4</source>
        <translation>警告: %1%2。%3 は %4 の DXF を変換します</translation>
    </message>
    <message>
        <source>sources not read: %1, whose paths name no file of this system (a drive letter, say)</source>
        <translation>読まなかった変換元: %1 個 (パスがこのシステムのファイルを指しません。ドライブ文字など)</translation>
    </message>
</context>
</TS>
