<html>
<head>
<meta http-equiv="Content-Type" content="text/html; charset=utf-8">
<title><#TITLE></title>
<meta name="Generator" content="Brindle Analyzer">
<style type="text/css">
<!--
<#STYLE_CSS>
-->
</style>
</head>
<body leftmargin="0" topmargin="0" rightmargin="0" bottommargin="0" marginwidth="0" marginheight="0">
<#HEADER>
<#SECTION>
<#FOOTER>
</body>
</html>
