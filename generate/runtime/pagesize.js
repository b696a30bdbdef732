function pagesize()
{
	trademark();
}
